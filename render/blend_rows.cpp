// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/blend_rows.h"

#include "render/pixel_math.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cantiere {
namespace {

#if defined(__SSE2__)
// Sixteen-bit lanes of one channel value each: t * 1/255, rounded as
// scaled() rounds it.
inline __m128i divide255(__m128i t) {
  const __m128i half = _mm_set1_epi16(0x80);
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
}

// Each pixel's alpha in all four of its lanes.
inline __m128i alphas(__m128i pixels16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels16, _MM_SHUFFLE(3, 3, 3, 3)),
                             _MM_SHUFFLE(3, 3, 3, 3));
}

// Two pixels of source (16-bit lanes) over two of dest.
inline __m128i over16(__m128i source, __m128i dest) {
  const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), alphas(source));
  return _mm_add_epi16(source, divide255(_mm_mullo_epi16(dest, inverse)));
}
#endif

}  // namespace

void overRow(Pixel* dest, const Pixel* source, int count) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    const __m128i low = over16(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
    const __m128i high = over16(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < count; ++i) dest[i] = over(source[i], dest[i]);
}

void overRowScaled(Pixel* dest, const Pixel* source, int count, unsigned factor) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i f = _mm_set1_epi16(static_cast<short>(factor));
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    const __m128i sLow = divide255(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), f));
    const __m128i sHigh = divide255(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), f));
    const __m128i low = over16(sLow, _mm_unpacklo_epi8(d, zero));
    const __m128i high = over16(sHigh, _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < count; ++i) dest[i] = over(scaled(source[i], factor), dest[i]);
}

}  // namespace cantiere
