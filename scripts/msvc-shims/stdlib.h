// Declarations of the Universal CRT that Wine's stdlib.h lacks and the C++ library uses.
#pragma once
#include_next <stdlib.h>
#ifdef __cplusplus
extern "C" {
#endif
#ifndef MB_CUR_MAX
int __cdecl ___mb_cur_max_func(void);
#define MB_CUR_MAX ___mb_cur_max_func()
#endif
double __cdecl _strtod_l(const char*, char**, _locale_t);
float __cdecl _strtof_l(const char*, char**, _locale_t);
#ifdef __cplusplus
}
#endif
