// Declarations of the Universal CRT that Wine's ctype.h lacks and the C++ library uses.
#pragma once
#include_next <ctype.h>
#ifdef __cplusplus
extern "C" {
#endif
int __cdecl _islower_l(int, _locale_t);
int __cdecl _isupper_l(int, _locale_t);
#ifdef __cplusplus
}
#endif
