// Declarations of the Universal CRT that Wine's math.h lacks (long double functions) and the C++ library uses.
#pragma once
#include_next <math.h>
#ifdef __cplusplus
extern "C" {
#endif
#define RUD_LD1(name) long double __cdecl name(long double);
#define RUD_LD2(name) long double __cdecl name(long double, long double);
RUD_LD1(acosl) RUD_LD1(asinl) RUD_LD1(atanl) RUD_LD2(atan2l) RUD_LD1(ceill) RUD_LD1(cosl) RUD_LD1(coshl)
RUD_LD1(expl) RUD_LD1(fabsl) RUD_LD1(floorl) RUD_LD2(fmodl) RUD_LD1(logl) RUD_LD1(log10l) RUD_LD2(powl)
RUD_LD1(sinl) RUD_LD1(sinhl) RUD_LD1(sqrtl) RUD_LD1(tanl) RUD_LD1(tanhl) RUD_LD1(acoshl) RUD_LD1(asinhl)
RUD_LD1(atanhl) RUD_LD1(cbrtl) RUD_LD2(copysignl) RUD_LD1(erfl) RUD_LD1(erfcl) RUD_LD1(exp2l) RUD_LD1(expm1l)
RUD_LD2(fdiml) RUD_LD2(fmaxl) RUD_LD2(fminl) RUD_LD2(hypotl) RUD_LD1(lgammal) RUD_LD1(log1pl) RUD_LD1(log2l)
RUD_LD1(logbl) RUD_LD1(nearbyintl) RUD_LD2(nextafterl) RUD_LD2(nexttowardl) RUD_LD2(remainderl) RUD_LD1(rintl)
RUD_LD1(roundl) RUD_LD1(tgammal) RUD_LD1(truncl)
#undef RUD_LD1
#undef RUD_LD2
long double __cdecl frexpl(long double, int*);
long double __cdecl ldexpl(long double, int);
long double __cdecl modfl(long double, long double*);
long double __cdecl fmal(long double, long double, long double);
long double __cdecl remquol(long double, long double, int*);
long double __cdecl scalbnl(long double, int);
long double __cdecl scalblnl(long double, long);
long double __cdecl nanl(const char*);
int __cdecl ilogbl(long double);
long __cdecl lrintl(long double);
long __cdecl lroundl(long double);
long long __cdecl llrintl(long double);
long long __cdecl llroundl(long double);
double __cdecl nexttoward(double, long double);
float __cdecl nexttowardf(float, long double);
double __cdecl erfc(double);
float __cdecl erfcf(float);
#ifdef __cplusplus
}
#endif
