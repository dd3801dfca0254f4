#pragma once

#include <cmath>

// Single-precision 2-D vector of table units. The physics is defined in
// float arithmetic; keep every intermediate in float.
struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(float s, Vec2 a) {
    return {s * a.x, s * a.y};
}
inline Vec2 operator*(Vec2 a, float s) {
    return {a.x * s, a.y * s};
}
inline Vec2& operator+=(Vec2& a, Vec2 b) {
    a.x += b.x;
    a.y += b.y;
    return a;
}
inline float Dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float LengthSq(Vec2 a) {
    return a.x * a.x + a.y * a.y;
}
inline float Length(Vec2 a) {
    return std::sqrt(LengthSq(a));
}

// Normalised when the squared length exceeds 1e-6, else left as is.
inline Vec2 NormalizedIfLong(Vec2 a) {
    const float sq = LengthSq(a);
    if (sq > 1e-6f) {
        const float len = std::sqrt(sq);
        return {a.x / len, a.y / len};
    }
    return a;
}

inline bool IsFinite(Vec2 a) {
    return std::isfinite(a.x) && std::isfinite(a.y);
}

// Whether |a| is a float: a speed beyond that has no place on the table.
inline bool HasFiniteLength(Vec2 a) {
    return std::isfinite(LengthSq(a));
}

// v when its length is a float, else at rest.
inline Vec2 FiniteSpeedOrZero(Vec2 v) {
    return HasFiniteLength(v) ? v : Vec2{};
}
