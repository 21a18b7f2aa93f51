#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

struct Point {
    double x;
    double y;
};

// An open chain of straight pieces; curves are approximated by many short pieces.
using Polyline = std::vector<Point>;

inline double Clamp01(double value) {
    return std::min(1.0, std::max(0.0, value));
}

// Smooth 0..1 ramp between two edges; edge0 may be larger than edge1 for a falling ramp.
inline double SmoothStep(double edge0, double edge1, double value) {
    double t = Clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

inline double DistanceToSegment(Point p, Point a, Point b) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? Clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

inline double DistanceToStrokes(Point p, const std::vector<Polyline>& strokes) {
    double nearest = 1e9;
    for (const Polyline& stroke : strokes) {
        for (size_t i = 1; i < stroke.size(); ++i)
            nearest = std::min(nearest, DistanceToSegment(p, stroke[i - 1], stroke[i]));
    }
    return nearest;
}

// Points on an elliptic arc from one angle to another (degrees, counter-clockwise with y up).
inline Polyline Arc(Point centre, double radiusX, double radiusY, double fromDegrees, double toDegrees) {
    const double kPi = 3.14159265358979323846;
    int pieces = std::max(2, static_cast<int>(std::abs(toDegrees - fromDegrees) / 10.0));
    Polyline points;
    for (int i = 0; i <= pieces; ++i) {
        double angle = (fromDegrees + (toDegrees - fromDegrees) * i / pieces) * kPi / 180.0;
        points.push_back({centre.x + radiusX * std::cos(angle), centre.y + radiusY * std::sin(angle)});
    }
    return points;
}
