// SPDX-License-Identifier: GPL-3.0-or-later
// What the C++ side asks of the page: each call goes to one method of the
// page's glue object (page/cantiere.js), which does only what a browser
// must do itself (draw a rectangle, start a sound, place an element).
#pragma once

#include <cstdint>

extern "C" {
double js_now();
void js_wake_in(double ms);
void js_no_wake();
// A timer of the glue's own, by number, calling page_timer(id) once.
void js_timer(int id, double ms);
void js_cancel_timer(int id);
void js_request_frame();
void js_request_frame_after(int ms);

// The canvas's backing store in device pixels and its place on the page in
// CSS pixels; then RGBA rows of `stride` pixels put into a part of it.
void js_canvas(int deviceWidth, int deviceHeight, double left, double top, double width,
               double height);
void js_put(const std::uint8_t* rgba, int stride, int rows, int x, int y, int w, int h);
void js_show_handheld(int shown);
void js_hint(const char* text, int helpCursor);
void js_title(const char* text);

void js_launcher(int visible, int soundIndex, int playEnabled, int slide);
void js_about();
void js_open(const char* target);
void js_beep();
void js_message(const char* text);
void js_exit();

// The browser's local storage; a null (or an absent value) when it has
// none; the caller frees the text.
char* js_storage_get(const char* key);
int js_storage_set(const char* key, const char* value);

// The output rests after `restMs` with nothing to play.
int js_audio_init(int restMs);
void js_audio_load(int handle, const char* name, const std::int16_t* frames, int count, int rate);
void js_audio_play(int handle);
void js_audio_stop_all();
void js_audio_free(int handle);
}
