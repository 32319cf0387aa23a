/* Guest declarations of the math commands and routines; see tervex.h. */
#ifndef TERVEX_MATH_H
#define TERVEX_MATH_H

float Sin(float degrees) __asm__("_fsin");
float Cos(float degrees) __asm__("_fcos");
float Tan(float degrees) __asm__("_ftan");
float ASin(float value) __asm__("_fasin");
float ACos(float value) __asm__("_facos");
float ATan(float value) __asm__("_fatan");
float ATan2(float y, float x) __asm__("_fatan2");
float Sqr(float value) __asm__("_fsqr");
float Floor(float value) __asm__("_ffloor");
float Ceil(float value) __asm__("_fceil");
float Exp(float value) __asm__("_fexp");
float Log(float value) __asm__("_flog");
float Log10(float value) __asm__("_flog10");
float Rnd(float from, float to) __asm__("_frnd");
int Rand(int from, int to) __asm__("_frand");
void SeedRnd(int seed) __asm__("_fseedrnd");

#endif
