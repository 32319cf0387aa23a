// Trigonometry in degrees, roots, rounding, exponential and logarithms.
#include <bit>
#include <cmath>

#include "math_commands.h"

namespace tx {
namespace {

// The float nearest to pi/180 and the float nearest to 180/pi, multiplied in as floats.
constexpr float kDegreesToRadians = std::bit_cast<float>(0x3C8E'FA35u);  // 0.017453292
constexpr float kRadiansToDegrees = std::bit_cast<float>(0x4265'2EE1u);  // 57.29578

constexpr double kLn2 = 0.693147180559945309417232121458176568;
constexpr double kLog10Of2 = 0.301029995663981195213738894724493027;

float radians(float degrees) {
    return degrees * kDegreesToRadians;
}

// A function of a float argument evaluated in double precision, rounded back to float.
template <double (*Fn)(double)>
float precise(float value) {
    return static_cast<float>(Fn(static_cast<double>(value)));
}

double sinD(double x) {
    return std::sin(x);
}
double cosD(double x) {
    return std::cos(x);
}
double tanD(double x) {
    return std::tan(x);
}
double asinD(double x) {
    return std::asin(x);
}
double acosD(double x) {
    return std::acos(x);
}
double atanD(double x) {
    return std::atan(x);
}
double floorD(double x) {
    return std::floor(x);
}
double ceilD(double x) {
    return std::ceil(x);
}
double expD(double x) {
    return std::exp(x);
}
double lnD(double x) {
    return kLn2 * std::log2(x);
}
double log10D(double x) {
    return kLog10Of2 * std::log2(x);
}

}  // namespace

float mathSin(float degrees) {
    return precise<sinD>(radians(degrees));
}
float mathCos(float degrees) {
    return precise<cosD>(radians(degrees));
}
float mathTan(float degrees) {
    return precise<tanD>(radians(degrees));
}

float mathASin(float value) {
    return precise<asinD>(value) * kRadiansToDegrees;
}
float mathACos(float value) {
    return precise<acosD>(value) * kRadiansToDegrees;
}
float mathATan(float value) {
    return precise<atanD>(value) * kRadiansToDegrees;
}

float mathATan2(float y, float x) {
    const float angle = static_cast<float>(std::atan2(double{y}, double{x}));
    return angle * kRadiansToDegrees;
}

float mathSqr(float value) {
    return std::sqrt(value);
}
float mathFloor(float value) {
    return precise<floorD>(value);
}
float mathCeil(float value) {
    return precise<ceilD>(value);
}
float mathExp(float value) {
    return precise<expD>(value);
}
float mathLog(float value) {
    return precise<lnD>(value);
}
float mathLog10(float value) {
    return precise<log10D>(value);
}

}  // namespace tx
