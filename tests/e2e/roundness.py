#!/usr/bin/env python3
"""How round a cyan ring is on a screenshot: the menu's ship disc and the ship's shield are both
drawn with one. Usage: roundness.py IMAGE CENTRE_X CENTRE_Y HALF_SIZE

Looks at the square of HALF_SIZE pixels around the centre (pixels from the top-left, black
past the screen's edges) and weighs each pixel by how much more cyan than red it is: the ring is
cyan; the ship, the stars, the asteroids and the nebula are not. Along rays in every direction it finds the ring's outer edge,
coming in from the outside, where the weight first reaches half of the ring's own peak on that
ray (to a fraction of a pixel), then fits an ellipse with upright axes to those edge points.
Prints "WIDTH HEIGHT RATIO" of the ellipse in pixels; a round ring gives a ratio of 1, and one
stretched to 16:9 a ratio of 1.33."""
import math
import subprocess
import sys

RAYS = 120
STEPS_PER_PIXEL = 4


def fail(message):
    sys.exit(f"roundness.py: {message}")


def cyan_weights(image, left, top, size):
    # A black border first, so that a square reaching past the screen's edge is still whole.
    # Raw 8-bit RGB samples, row after row, with no header.
    pixels = subprocess.run(
        ["/usr/bin/convert", image, "-bordercolor", "black", "-border", str(size), "-crop",
         f"{size}x{size}+{left + size}+{top + size}", "+repage", "-depth", "8", "rgb:-"],
        check=True, capture_output=True).stdout
    if len(pixels) != size * size * 3:
        fail(f"the square of {size} pixels does not lie within {image}")
    return [[max(0, min(pixels[i + 1], pixels[i + 2]) - pixels[i])
             for i in range(3 * y * size, 3 * (y + 1) * size, 3)] for y in range(size)]


def sample(weights, x, y):
    """The weight at a point between pixel centres, interpolated from the four around it."""
    x0, y0 = int(math.floor(x)), int(math.floor(y))
    if x0 < 0 or y0 < 0 or x0 + 1 >= len(weights[0]) or y0 + 1 >= len(weights):
        return 0.0
    fx, fy = x - x0, y - y0
    top = weights[y0][x0] * (1 - fx) + weights[y0][x0 + 1] * fx
    bottom = weights[y0 + 1][x0] * (1 - fx) + weights[y0 + 1][x0 + 1] * fx
    return top * (1 - fy) + bottom * fy


def edge_on_ray(weights, centre, angle, entering):
    """The outer edge of the ring along one ray, as a point; None when the ray meets no ring."""
    reach = centre * STEPS_PER_PIXEL
    dx, dy = math.cos(angle) / STEPS_PER_PIXEL, math.sin(angle) / STEPS_PER_PIXEL
    inward = [sample(weights, centre + dx * step, centre + dy * step)
              for step in range(reach, -1, -1)]
    start = next((i for i, w in enumerate(inward) if w >= entering), None)
    if start is None:
        return None
    # Half of the ring's peak across its thickness, not of the strongest pixel anywhere, so
    # that a ring brighter on one side than on the other is measured to its edge on both.
    threshold = max(inward[start:start + 3 * STEPS_PER_PIXEL]) / 2.0
    i = next(i for i, w in enumerate(inward) if w >= threshold)
    below = inward[i - 1] if i > 0 else 0.0
    crossing = i - 1 + (threshold - below) / (inward[i] - below) if i > 0 else 0.0
    distance = (reach - crossing) / STEPS_PER_PIXEL
    return (centre + math.cos(angle) * distance, centre + math.sin(angle) * distance)


def solve(matrix, vector):
    """Gaussian elimination with partial pivoting for a small linear system."""
    n = len(vector)
    rows = [list(matrix[r]) + [vector[r]] for r in range(n)]
    for column in range(n):
        pivot = max(range(column, n), key=lambda r: abs(rows[r][column]))
        if abs(rows[pivot][column]) < 1e-12:
            fail("the ring's edge points do not make an ellipse")
        rows[column], rows[pivot] = rows[pivot], rows[column]
        for r in range(n):
            if r != column:
                factor = rows[r][column] / rows[column][column]
                rows[r] = [a - factor * b for a, b in zip(rows[r], rows[column])]
    return [rows[r][n] / rows[r][r] for r in range(n)]


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    image = sys.argv[1]
    cx, cy, half = (int(round(float(value))) for value in sys.argv[2:5])
    if half < 4:
        fail("the square is too small")
    weights = cyan_weights(image, cx - half, cy - half, 2 * half + 1)
    strongest = max(max(row) for row in weights)
    if strongest <= 0:
        fail("nothing cyan in the square")
    points = [edge_on_ray(weights, half, 2 * math.pi * k / RAYS, strongest / 4.0)
              for k in range(RAYS)]
    points = [p for p in points if p is not None]
    if len(points) < RAYS // 2:
        fail(f"the ring shows on only {len(points)} of {RAYS} rays")
    # A x^2 + B y^2 + C x + D y = 1 by least squares, x and y from the given centre (inside the
    # ring, so that the 1 on the right has the sign of the ellipse's inside); the axes are as
    # 1/sqrt(A) to 1/sqrt(B).
    terms = [(x * x, y * y, x, y) for x, y in ((px - half, py - half) for px, py in points)]
    normal = [[sum(t[i] * t[j] for t in terms) for j in range(4)] for i in range(4)]
    a, b, c, d = solve(normal, [sum(t[i] for t in terms) for i in range(4)])
    if a <= 0 or b <= 0:
        fail("the ring's edge points do not make an ellipse")
    scale = 1 + c * c / (4 * a) + d * d / (4 * b)
    width, height = 2 * math.sqrt(scale / a), 2 * math.sqrt(scale / b)
    print(f"{width:.2f} {height:.2f} {width / height:.4f}")


main()
