#include "Picking_un.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Miss = std::numeric_limits<double>::infinity();

using Vec = std::array<double, 3>;

double& At(Matrix& m, int row, int column) {
    return m[column * 4 + row];
}
double At(const Matrix& m, int row, int column) {
    return m[column * 4 + row];
}

Ray Transformed(const Matrix& m, const Ray& ray) {
    auto o = Apply(m, {ray.origin[0], ray.origin[1], ray.origin[2], 1});
    auto d = Apply(m, {ray.direction[0], ray.direction[1], ray.direction[2], 0});
    return {{o[0], o[1], o[2]}, {d[0], d[1], d[2]}};
}

// Where the ray enters the box lo..hi (0 when it starts inside), or Miss.
double HitBox(const Ray& ray, const Vec& lo, const Vec& hi) {
    double enter = 0, leave = Miss;
    for (int a = 0; a < 3; ++a) {
        if (lo[a] > hi[a]) return Miss;
        const double o = ray.origin[a], d = ray.direction[a];
        if (d == 0) {
            if (o < lo[a] || o > hi[a]) return Miss;
            continue;
        }
        double t0 = (lo[a] - o) / d, t1 = (hi[a] - o) / d;
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave) return Miss;
    }
    return enter;
}
double HitBox(const Ray& ray, const Box& b) {
    return HitBox(ray, {b.x0, b.y0, b.z0}, {b.x1, b.y1, b.z1});
}

// The first of the two roots t of a t^2 + 2 b t + c = 0 that is not behind the eye, or Miss.
double FirstRoot(double a, double b, double c) {
    if (a == 0) return Miss;
    const double discriminant = b * b - a * c;
    if (discriminant < 0) return Miss;
    const double root = std::sqrt(discriminant);
    const double t0 = (-b - root) / a, t1 = (-b + root) / a;
    return t0 >= 0 ? t0 : t1 >= 0 ? 0 : Miss;
}

double HitSphere(const Ray& ray, const Vec& centre, double radius) {
    double b = 0, c = -radius * radius, a = 0;
    for (int k = 0; k < 3; ++k) {
        const double o = ray.origin[k] - centre[k];
        a += ray.direction[k] * ray.direction[k];
        b += o * ray.direction[k];
        c += o * o;
    }
    return FirstRoot(a, b, c);
}

// A solid cylinder of the radius around the axis line through centre along axis, from lo to hi
// along it.
double HitCylinder(const Ray& ray, int axis, const Vec& centre, double radius, double lo,
                   double hi) {
    double a = 0, b = 0, c = -radius * radius;
    for (int k = 0; k < 3; ++k) {
        if (k == axis) continue;
        const double o = ray.origin[k] - centre[k];
        a += ray.direction[k] * ray.direction[k];
        b += o * ray.direction[k];
        c += o * o;
    }
    const double t = FirstRoot(a, b, c);
    if (t == Miss) return Miss;
    const double along = ray.origin[axis] + t * ray.direction[axis];
    return along >= lo && along <= hi ? t : Miss;
}

// The case: the box of its half-extents with every edge rounded by the fillet, that is three
// boxes, each shrunk by the fillet in two directions, the twelve edge cylinders and the eight
// corner spheres.
double HitCase(const Ray& ray, const Geometry& g) {
    const double L = g.length, T = g.thickness, W = g.width, F = g.fillet;
    const Vec half{L, T, W};
    const Vec inner{L - F, T - F, W - F};
    double t = Miss;
    for (int a = 0; a < 3; ++a) {
        Vec lo, hi;
        for (int k = 0; k < 3; ++k) {
            hi[k] = k == a ? half[k] : inner[k];
            lo[k] = -hi[k];
        }
        t = std::min(t, HitBox(ray, lo, hi));
    }
    for (double sx : {-1.0, 1.0})
        for (double sy : {-1.0, 1.0})
            for (double sz : {-1.0, 1.0}) {
                const Vec corner{sx * inner[0], sy * inner[1], sz * inner[2]};
                t = std::min(t, HitSphere(ray, corner, F));
                // Each corner starts the edge that runs from it along each axis.
                for (int a = 0; a < 3; ++a)
                    if (corner[a] < 0)
                        t = std::min(t, HitCylinder(ray, a, corner, F, -inner[a], inner[a]));
            }
    return t;
}

// Where the ray enters the convex body of the points p with n . p <= d for every plane (n, d),
// or Miss.
struct Plane {
    Vec n;
    double d;
};
template <std::size_t N> double HitConvex(const Ray& ray, const std::array<Plane, N>& planes) {
    double enter = 0, leave = Miss;
    for (const Plane& p : planes) {
        double along = 0, at = 0;
        for (int k = 0; k < 3; ++k) {
            along += p.n[k] * ray.direction[k];
            at += p.n[k] * ray.origin[k];
        }
        if (along == 0) {
            if (at > p.d) return Miss;
            continue;
        }
        const double t = (p.d - at) / along;
        if (along < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave) return Miss;
    }
    return enter;
}

// A key as it is drawn: walls two thirds of its height high around its square footprint,
// bevels rising the last third while moving in by twice that, the face on top.
double HitKey(const Ray& ray, const KeyRecord& key) {
    // Into the key's own frame: its base centre at the origin, turned back by its angle.
    const Matrix toKey = Rotation(-key.Angle, 0, 1, 0) * Translation(-key.X, -key.Y, -key.Z);
    const double e = key.Edge / 2.0, h = key.Height, wall = KeyWall(key.Height);
    // On the bevel over the wall at x = -e: y - wall = (x + e) / 2, so 2y - x <= 2 wall + e.
    const std::array<Plane, 10> body{{{{-1, 0, 0}, e},
                                      {{1, 0, 0}, e},
                                      {{0, 0, -1}, e},
                                      {{0, 0, 1}, e},
                                      {{0, -1, 0}, 0},
                                      {{0, 1, 0}, h},
                                      {{-1, 2, 0}, 2 * wall + e},
                                      {{1, 2, 0}, 2 * wall + e},
                                      {{0, 2, -1}, 2 * wall + e},
                                      {{0, 2, 1}, 2 * wall + e}}};
    return HitConvex(Transformed(toKey, ray), body);
}

} // namespace

std::array<double, 4> Apply(const Matrix& m, const std::array<double, 4>& v) {
    std::array<double, 4> out{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r] += At(m, r, c) * v[c];
    return out;
}

Matrix IdentityMatrix() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
}

Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) At(m, r, c) += At(a, r, k) * At(b, k, c);
    return m;
}

Matrix Translation(double x, double y, double z) {
    Matrix m = IdentityMatrix();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

Matrix Rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return IdentityMatrix();
    x /= length, y /= length, z /= length;
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    Matrix m = IdentityMatrix();
    At(m, 0, 0) = x * x * (1 - c) + c;
    At(m, 0, 1) = x * y * (1 - c) - z * s;
    At(m, 0, 2) = x * z * (1 - c) + y * s;
    At(m, 1, 0) = y * x * (1 - c) + z * s;
    At(m, 1, 1) = y * y * (1 - c) + c;
    At(m, 1, 2) = y * z * (1 - c) - x * s;
    At(m, 2, 0) = x * z * (1 - c) - y * s;
    At(m, 2, 1) = y * z * (1 - c) + x * s;
    At(m, 2, 2) = z * z * (1 - c) + c;
    return m;
}

Matrix Perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double f = 1 / std::tan(fovyDegrees * std::numbers::pi / 360);
    Matrix m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

bool Invert(const Matrix& m, Matrix& inverse) {
    // Gauss-Jordan elimination with partial pivoting on [m | I].
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = At(m, r, c);
            a[r][c + 4] = r == c ? 1 : 0;
        }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (a[pivot][c] == 0) return false;
        std::swap(a[pivot], a[c]);
        const double p = a[c][c];
        for (double& v : a[c]) v /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == c) continue;
            const double f = a[r][c];
            for (int k = 0; k < 8; ++k) a[r][k] -= f * a[c][k];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) At(inverse, r, c) = a[r][c + 4];
    return true;
}

Matrix ViewTransform(double distance, double tiltDegrees, double spinDegrees) {
    return Translation(0, 0, -distance) * Rotation(90, 0, 0, 1) * Rotation(90, 1, 0, 0) *
           Rotation(tiltDegrees, 0, 0, 1) * Rotation(-spinDegrees, 0, 1, 0);
}

Matrix DisplayFrameTransform(const Geometry& g, double displayTilt) {
    // The hinge runs along the frame's edge next to the keys; the tilt is given in degrees
    // as a single-precision value, as the frame is drawn.
    const float tilt = static_cast<float>(displayTilt * 180 / std::numbers::pi);
    return Translation(g.hinge[0], g.hinge[1], g.hinge[2]) * Rotation(-90, 1, 0, 0) *
           Rotation(-90, 0, 0, 1) * Rotation(tilt, 1, 0, 0);
}

bool WindowRay(const Matrix& projection, const Matrix& modelview, const int viewport[4], double x,
               double y, Ray& ray) {
    Matrix inverse;
    if (viewport[2] <= 0 || viewport[3] <= 0 || !Invert(projection * modelview, inverse))
        return false;
    const double nx = 2 * (x - viewport[0]) / viewport[2] - 1;
    const double ny = 2 * (y - viewport[1]) / viewport[3] - 1;
    auto nearPoint = Apply(inverse, {nx, ny, -1, 1});
    auto farPoint = Apply(inverse, {nx, ny, 1, 1});
    if (nearPoint[3] == 0 || farPoint[3] == 0) return false;
    for (int k = 0; k < 3; ++k) {
        ray.origin[k] = nearPoint[k] / nearPoint[3];
        ray.direction[k] = farPoint[k] / farPoint[3] - ray.origin[k];
    }
    return true;
}

std::int32_t KeyOnRay(const Ray& ray, const KeyRecord (&keys)[KeyCount], const Geometry& g,
                      double displayTilt) {
    double nearest = Miss;
    int found = -1;
    for (int i = 0; i < KeyCount; ++i) {
        const double t = HitKey(ray, keys[i]);
        if (t < nearest) nearest = t, found = i; // at the same distance the lower id stays
    }
    if (found < 0) return 0;

    // What can hide a key: the case, the key plate on it and the display frame.
    double hidden = std::min(HitCase(ray, g), HitBox(ray, g.keyPlate));
    Matrix toFrame;
    if (Invert(DisplayFrameTransform(g, displayTilt), toFrame))
        hidden = std::min(hidden, HitBox(Transformed(toFrame, ray), DisplayFrameBox(g)));
    return nearest <= hidden ? KeyNameBase + found : 0;
}
