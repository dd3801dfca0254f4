"""Plane geometry for table layouts, in table units (x right, y down)."""
import math


def arc(cx, cy, r, a0, a1, n):
    """n + 1 points on a circle from angle a0 to a1 (degrees, clockwise on screen)."""
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


def circle(cx, cy, r, n=16):
    return arc(cx, cy, r, 0.0, 360.0, n)[:-1]


def _norm(x, y):
    d = math.hypot(x, y)
    return (x / d, y / d) if d > 0 else (0.0, 0.0)


def capsule(points, width, cap_steps=4):
    """Closed outline of a polyline drawn with a round pen of the given width."""
    h = width * 0.5
    left, right = [], []
    n = len(points)
    for i, (x, y) in enumerate(points):
        # Mitre joint: the average of the neighbouring segment normals.
        ns = []
        if i > 0:
            dx, dy = _norm(x - points[i - 1][0], y - points[i - 1][1])
            ns.append((-dy, dx))
        if i < n - 1:
            dx, dy = _norm(points[i + 1][0] - x, points[i + 1][1] - y)
            ns.append((-dy, dx))
        mx, my = _norm(sum(p[0] for p in ns), sum(p[1] for p in ns))
        scale = h / max(0.3, mx * ns[0][0] + my * ns[0][1])
        left.append((x + mx * scale, y + my * scale))
        right.append((x - mx * scale, y - my * scale))
    (x0, y0), (x1, y1) = points[0], points[1]
    a_start = math.degrees(math.atan2(y1 - y0, x1 - x0))
    (xa, ya), (xb, yb) = points[-2], points[-1]
    a_end = math.degrees(math.atan2(yb - ya, xb - xa))
    end_cap = arc(xb, yb, h, a_end + 90.0, a_end - 90.0, cap_steps)[1:-1]
    start_cap = arc(x0, y0, h, a_start - 90.0, a_start - 270.0, cap_steps)[1:-1]
    return left + end_cap + right[::-1] + start_cap


def rotate(points, px, py, angle):
    """Rotates about (px, py) by angle radians, positive clockwise on screen."""
    c, s = math.cos(angle), math.sin(angle)
    return [(px + (x - px) * c - (y - py) * s, py + (x - px) * s + (y - py) * c) for x, y in points]


def segment_distance(p, a, b):
    """Distance from point p to the segment a-b."""
    ax, ay = a
    bx, by = b
    ex, ey = bx - ax, by - ay
    ll = ex * ex + ey * ey
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((p[0] - ax) * ex + (p[1] - ay) * ey) / ll))
    return math.hypot(p[0] - ax - t * ex, p[1] - ay - t * ey)


def segments(points, closed):
    n = len(points)
    count = n if closed else n - 1
    return [(points[i], points[(i + 1) % n]) for i in range(count)]


def polyline_distance(a_points, a_closed, b_points, b_closed):
    """Smallest distance between two polylines (vertices against segments)."""
    best = float("inf")
    for pts, other, oc in ((a_points, b_points, b_closed), (b_points, a_points, a_closed)):
        for p in pts:
            for s in segments(other, oc):
                best = min(best, segment_distance(p, s[0], s[1]))
    return best


def point_in_polygon(x, y, poly):
    inside = False
    n = len(poly)
    for i in range(n):
        x1, y1 = poly[i]
        x2, y2 = poly[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside
