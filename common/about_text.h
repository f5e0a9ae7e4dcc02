// SPDX-License-Identifier: GPL-3.0-or-later
// What the about window says. The window's captions speak of an author; the
// answers describe this program itself, so nothing here is an invented
// person or an address that does not belong to the project.
#pragma once

namespace cantiere::about {

inline constexpr const char* kName = "Cantiere";                      // "My real name:"
inline constexpr const char* kPlace = "Linux, C++20 and Qt";          // "My birthplace:"
inline constexpr const char* kDate = "version S3/1.04a";              // "My birth date:"
inline constexpr const char* kOccupation = "handheld simulator";      // "My current occupation:"
inline constexpr const char* kHobby = "rolling barrels";              // "My hobby:"

}  // namespace cantiere::about
