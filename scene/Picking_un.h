// Finding the key under the mouse without drawing anything: a ray from the mouse position
// through the frame's own projection and modelview matrices, met against each key's body (its
// box with the bevels cut off the top edges) where it is drawn and against the parts of the
// calculator that can hide a key (the case with its rounded edges, the key plate and the display
// frame). Pure geometry, no GL.
#pragma once

#include "Button_un.h"

#include <array>
#include <cstdint>

// A 4 x 4 matrix laid out as OpenGL lays it out: column after column.
using Matrix = std::array<double, 16>;

Matrix IdentityMatrix();
// m applied to the point (or, with w = 0, the direction) v.
std::array<double, 4> Apply(const Matrix& m, const std::array<double, 4>& v);
Matrix operator*(const Matrix& a, const Matrix& b);
// The matrices of glTranslate, glRotate (degrees about an axis) and gluPerspective.
Matrix Translation(double x, double y, double z);
Matrix Rotation(double degrees, double x, double y, double z);
Matrix Perspective(double fovyDegrees, double aspect, double zNear, double zFar);
// False when the matrix has no inverse.
bool Invert(const Matrix& m, Matrix& inverse);

// Places the calculator before the camera: at the distance, turned by the tilt (about its
// width) after the spin (about the normal of its face), display at the top.
Matrix ViewTransform(double distance, double tiltDegrees, double spinDegrees);
// The hinged frame of the display frame in model space, turned up by the tilt (radians).
Matrix DisplayFrameTransform(const Geometry& geometry, double displayTilt);

// The points origin + t * direction, t >= 0 lying ahead of the eye.
struct Ray {
    std::array<double, 3> origin, direction;
};

// The ray in model space under a window point (x to the right, y up from the bottom of the
// viewport, in pixels); false when the matrices leave no such ray.
bool WindowRay(const Matrix& projection, const Matrix& modelview, const int viewport[4], double x,
               double y, Ray& ray);

// The selection name (KeyNameBase + ButtonId) of the nearest key the ray meets before it meets
// any part that hides keys, or 0. Keys met at the same distance go to the lower ButtonId.
std::int32_t KeyOnRay(const Ray& ray, const KeyRecord (&keys)[KeyCount], const Geometry& geometry,
                      double displayTilt);
