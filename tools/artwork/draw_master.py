#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
"""Writes velmia.svg, the master drawing of the default artwork.

The drawing is plain SVG (Qt Svg's tiny profile: paths, gradients, <use>, CSS
classes; no clip paths or filters). Repeated shapes -- hair locks, eyes,
strawberries, beads -- are easier to keep consistent when they come from a few
parametric helpers, so the SVG is written by this script. Edit the numbers
here and run it again; the build only reads velmia.svg.

Every top-level group has an id and is drawn in window coordinates (800 x 600:
rows 0-299 are the upper picture, rows 300-599 the body frames), except the
scene, night-sky and title groups, which use their picture's own coordinates.
"""
import math
import os
import sys

OUT = []


def emit(s):
    OUT.append(s)


def f(v):
    return ("%.1f" % v).rstrip("0").rstrip(".")


# ---------------------------------------------------------------- geometry


def catmull(pts, closed=False, samples=10):
    """Dense polyline through pts (Catmull-Rom)."""
    n = len(pts)
    out = []
    rng = range(n) if closed else range(n - 1)
    for i in rng:
        p0 = pts[(i - 1) % n] if closed else pts[max(i - 1, 0)]
        p1 = pts[i]
        p2 = pts[(i + 1) % n] if closed else pts[i + 1]
        p3 = pts[(i + 2) % n] if closed else pts[min(i + 2, n - 1)]
        for s in range(samples):
            t = s / samples
            t2, t3 = t * t, t * t * t
            x = 0.5 * ((2 * p1[0]) + (-p0[0] + p2[0]) * t + (2 * p0[0] - 5 * p1[0] + 4 * p2[0] - p3[0]) * t2 +
                       (-p0[0] + 3 * p1[0] - 3 * p2[0] + p3[0]) * t3)
            y = 0.5 * ((2 * p1[1]) + (-p0[1] + p2[1]) * t + (2 * p0[1] - 5 * p1[1] + 4 * p2[1] - p3[1]) * t2 +
                       (-p0[1] + 3 * p1[1] - 3 * p2[1] + p3[1]) * t3)
            out.append((x, y))
    if not closed:
        out.append(pts[-1])
    return out


def poly(points, close=True):
    d = "M" + " L".join("%s %s" % (f(x), f(y)) for x, y in points)
    return d + (" Z" if close else "")


def smooth(pts, closed=True):
    return poly(catmull(pts, closed), closed)


def strand_points(pts, widths, bias=0.0):
    """Outline of a lock of hair along the centre line pts; widths per point.
    bias shifts the lock sideways (in units of half width) for shading bands."""
    line = catmull(pts, False, 12)
    # widths interpolated along the dense line
    m = len(line)
    ws = []
    for i in range(m):
        u = i / (m - 1) * (len(widths) - 1)
        k = min(int(u), len(widths) - 2)
        t = u - k
        ws.append(widths[k] * (1 - t) + widths[k + 1] * t)
    left, right = [], []
    for i in range(m):
        a = line[max(i - 1, 0)]
        b = line[min(i + 1, m - 1)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        ln = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / ln, dx / ln
        w = ws[i] / 2
        cx, cy = line[i][0] + nx * w * bias, line[i][1] + ny * w * bias
        left.append((cx + nx * w, cy + ny * w))
        right.append((cx - nx * w, cy - ny * w))
    return left + right[::-1]


def strand(pts, widths, cls, bias=0.0, extra=""):
    return '<path class="%s" d="%s"%s/>' % (cls, poly(strand_points(pts, widths, bias)), extra)


def lock(pts, widths, shade_side=1, hi=True, pal="hair", outline=True):
    """A cel-shaded lock: base with outline, a shadow band on one side, a
    highlight streak, and a strand line."""
    s = [strand(pts, widths, ("%s %s-ol" % (pal, pal)) if outline else pal)]
    sw = [w * 0.45 for w in widths]
    s.append(strand(pts, sw, pal + "-sh", bias=shade_side * 1.15))
    if hi and len(pts) >= 3:
        # highlight: short streak in the upper third
        hp = catmull(pts, False, 6)
        n = len(hp)
        seg = hp[n // 6:n // 6 + max(3, n // 5)]
        if len(seg) >= 2:
            hw = [max(widths[0], widths[1]) * 0.22] * 1
            s.append(strand([seg[0], seg[len(seg) // 2], seg[-1]], [0, hw[0] * 1.6, 0], pal + "-hi",
                            bias=-shade_side * 0.9))
    line = catmull(pts, False, 8)
    s.append('<path class="%s-line" d="%s"/>' % (pal, poly(line[2:-3], False)))
    # redraw outline on top so shading never leaks past the edge
    if outline:
        s.append(strand(pts, widths, pal + "-edge"))
    return "\n".join(s)


def sheen_arc(cx, cy, rx, ry, a0, a1, w, cls="hair-sheen"):
    """A tapered stroke of light along the arc of the ellipse (cx, cy, rx, ry)
    from angle a0 to a1 (degrees, 0 = right, -90 = up)."""
    pts = []
    for i in range(7):
        a = math.radians(a0 + (a1 - a0) * i / 6)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return strand(pts, [0, w * 0.6, w, w, w * 0.8, w * 0.4, 0], cls)


def flow(pts, widths, shade_side=1, hi=False, pal="hair"):
    """Texture inside a mass of hair: a narrow shadow stripe along one side of
    the lock and a strand line, no fill and no outline of its own."""
    s = [strand(pts, [w * 0.34 for w in widths], pal + ("-deep" if pal == "hair" else "-sh"), bias=shade_side * 2.0)]
    if hi:
        hp = catmull(pts, False, 6)
        n = len(hp)
        seg = hp[n // 8:n // 8 + max(3, n // 4)]
        s.append(strand([seg[0], seg[len(seg) // 2], seg[-1]], [0, widths[0] * 0.2, 0], pal + "-hi",
                        bias=-shade_side * 1.2))
    line = catmull(pts, False, 8)
    s.append('<path class="%s-line" d="%s"/>' % (pal, poly(line[3:-2], False)))
    return "\n".join(s)


def ellipse(cx, cy, rx, ry, cls, extra=""):
    return '<ellipse class="%s" cx="%s" cy="%s" rx="%s" ry="%s"%s/>' % (cls, f(cx), f(cy), f(rx), f(ry), extra)


def circle(cx, cy, r, cls, extra=""):
    return '<circle class="%s" cx="%s" cy="%s" r="%s"%s/>' % (cls, f(cx), f(cy), f(r), extra)


def path(d, cls, extra=""):
    return '<path class="%s" d="%s"%s/>' % (cls, d, extra)


def group(gid, body, extra=""):
    emit('<g id="%s"%s>\n%s\n</g>' % (gid, extra, body if isinstance(body, str) else "\n".join(body)))


# ---------------------------------------------------------------- palette

CSS = """
.skin{fill:#fde4d3}.skin-hi{fill:#feeadd}.skin-sh{fill:#f4c0a8}.skin-sh2{fill:#e9a48c}.skin-ol{stroke:#7a3c30;stroke-width:2.2;stroke-linejoin:round}
.skin-line{fill:none;stroke:#b8705c;stroke-width:2;stroke-linecap:round}
.skin-edge{fill:none;stroke:#7a3c30;stroke-width:2.2;stroke-linejoin:round}
.blush{fill:#f7a9a3}.blush-line{fill:none;stroke:#e77f7c;stroke-width:1.6;stroke-linecap:round}
.lip{fill:#d8686a}.mouth{fill:none;stroke:#8e3b36;stroke-width:2.4;stroke-linecap:round}
.hair{fill:#8c4936}.hair-sh{fill:#5e2b22}.hair-deep{fill:#6c3428}.hair-hi{fill:#c47c5a}.hair-sheen{fill:#d69a74}
.hair-ol{stroke:#3b1712;stroke-width:2.2;stroke-linejoin:round}
.hair-edge{fill:none;stroke:#3b1712;stroke-width:2.2;stroke-linejoin:round}
.hair-line{fill:none;stroke:#5e2b22;stroke-width:1.6;stroke-linecap:round}
.punk{fill:#e4579b}.punk-sh{fill:#9f2463}.punk-hi{fill:#ff9fcf}.punk-ol{stroke:#46102d;stroke-width:2.2;stroke-linejoin:round}
.punk-edge{fill:none;stroke:#46102d;stroke-width:2.2;stroke-linejoin:round}
.punk-line{fill:none;stroke:#9f2463;stroke-width:1.6;stroke-linecap:round}
.lash{fill:#2a1410}.lash-line{fill:none;stroke:#2a1410;stroke-width:2.4;stroke-linecap:round}
.crease{fill:none;stroke:#a8604e;stroke-width:1.8;stroke-linecap:round}
.brow{fill:#2a1410}
.sclera{fill:#ffffff}.sclera-sh{fill:#e3dcea}
.pupil{fill:#1d0e0c}.glint{fill:#ffffff}.glint2{fill:#fff6e8}
.dress{fill:#6f9fe3}.dress-sh{fill:#4b74bf}.dress-hi{fill:#a6c7f4}.dress-ol{stroke:#263d6e;stroke-width:2.2;stroke-linejoin:round}
.dress-edge{fill:none;stroke:#263d6e;stroke-width:2.2;stroke-linejoin:round}
.dress-dot{fill:#eef5ff}
.trim{fill:#fff3dc}.trim-sh{fill:#ead3ac}.trim-ol{stroke:#8a6a45;stroke-width:1.6}
.cami{fill:#f8d8e5}.cami-sh{fill:#e6afc7}.cami-hi{fill:#fff0f6}.cami-ol{stroke:#8a4462;stroke-width:2;stroke-linejoin:round}
.cami-edge{fill:none;stroke:#8a4462;stroke-width:2;stroke-linejoin:round}
.lace{fill:#fff8fb}.lace-ol{stroke:#b77b95;stroke-width:1.4}
.ink{fill:#000000}.ink-s{fill:none;stroke:#000000;stroke-linecap:round;stroke-linejoin:round}
.gold{fill:#f2c14e}.gold-sh{fill:#c08a22}.gold-hi{fill:#fff1b0}.gold-ol{stroke:#6e4a10;stroke-width:1.6}
.silver{fill:#d9dee8}.silver-sh{fill:#9aa3b5}.silver-hi{fill:#ffffff}.silver-ol{stroke:#4a5166;stroke-width:1.6}
.pearl{fill:#fbf6f0}.pearl-sh{fill:#e2d4cc}.pearl-ol{stroke:#8c7a70;stroke-width:1.4}
.ruby{fill:#e23a55}.ruby-sh{fill:#9e1634}.ruby-hi{fill:#ff9aaa}.ruby-ol{stroke:#5a0c1c;stroke-width:1.6}
.sapph{fill:#3f7fe0}.sapph-sh{fill:#1f4aa0}.sapph-hi{fill:#a9d0ff}.sapph-ol{stroke:#10275a;stroke-width:1.6}
.teal{fill:#3cc2b4}.teal-sh{fill:#1e8378}.teal-hi{fill:#b4f3ea}.teal-ol{stroke:#0c4a44;stroke-width:1.6}
.leaf{fill:#6cbf5a}.leaf-sh{fill:#3f8c3a}.leaf-ol{stroke:#24502a;stroke-width:1.6}
.rib-hi-s{stroke:#ff95a6}.sapph-hi-s{stroke:#a9d0ff}.ruby-hi-s{stroke:#ff9aaa}
.rib{fill:#e54a62}.rib-sh{fill:#a82540}.rib-hi{fill:#ff95a6}.rib-ol{stroke:#5a1020;stroke-width:2;stroke-linejoin:round}
.velvet{fill:#3a2a4a}.velvet-sh{fill:#1f1428}.velvet-hi{fill:#6a5680}.velvet-ol{stroke:#120a18;stroke-width:1.6}
"""

# ---------------------------------------------------------------- figure



def figure_group():
    b = []
    # one silhouette: neck, shoulders, torso and the left arm. The right arm
    # is a group of its own (figure-arm): its hand rests on the hip, which
    # does not move as the chest rises, so it is drawn the same in every
    # breathing pose, over the torso's right side
    sil = ("M384 140 L476 128 C472 200 474 262 486 298 C520 321 600 345 662 360 C702 370 724 389 732 420 "
           "C728 436 690 442 658 448 C650 480 644 520 641 550 L640 625 L128 625 "
           "C132 540 140 480 152 410 C160 375 180 354 222 343 C282 328 350 318 376 298 C382 262 386 220 384 140 Z")
    # the back of the neck behind the jaw and below the ear, in shade: short
    # styles show it between the jaw, the ear and the neck
    nape = "M470 120 L522 112 C526 160 514 200 500 232 C492 254 488 276 490 300 L478 300 C470 250 468 180 470 120 Z"
    b.append(path(nape, "skin-sh skin-ol"))
    b.append(path(sil, "skin skin-ol"))
    # neck shadow under the jaw and along the right of the neck
    b.append(path("M380 196 L476 146 L478 196 C452 226 420 244 382 250 Z", "skin-sh"))
    b.append(path("M470 200 C468 250 472 280 486 298 C478 300 470 298 462 292 C458 262 458 230 470 200 Z", "skin-sh"))
    # the neck's shadow on the chest
    b.append(path("M380 292 C400 304 462 304 484 292 C480 312 456 330 432 336 C408 330 386 312 380 292 Z", "skin-sh"))
    # the chest: light on the upper chest below the collarbones, a soft shade
    # rounding off towards the arms
    b.append(path("M330 374 C360 364 400 360 436 362 C470 360 510 364 540 374 C510 382 470 384 436 382 "
                  "C400 384 360 382 330 374 Z", "skin-hi"))
    b.append(path("M226 372 C246 410 256 460 258 520 L244 560 C238 500 232 440 222 400 Z", "skin-sh"))
    b.append(path("M650 380 C632 420 622 470 620 520 L634 560 C638 500 644 440 660 404 Z", "skin-sh"))
    # the torso's right side in the bend of the arm, turning away in shade
    b.append(path("M658 448 C650 480 644 520 641 550 L640 625 L628 625 C630 560 636 500 646 452 Z", "skin-sh"))
    # collarbones
    b.append(path("M318 336 C340 330 362 330 388 322", "skin-line"))
    b.append(path("M474 324 C500 330 520 336 548 338", "skin-line"))
    # shoulder and arm shading
    b.append(path("M152 410 C160 375 180 354 222 343 C200 360 186 380 182 420 C176 480 172 540 170 625 L128 625 "
                  "C132 540 140 480 152 410 Z", "skin-sh"))
    # the left upper arm runs on past the window's lower edge
    # armpits / arm inner edges
    b.append(path("M214 412 C206 470 200 540 198 625", "skin-line"))
    b.append(path("M220 400 C214 420 212 440 212 470 L200 625 L198 625 C200 540 206 470 214 412 Z", "skin-sh"))
    # redraw outline
    b.append(path(sil, "skin-edge"))
    return b


# The right arm, the hand on the hip: the upper arm runs down from the shoulder
# and back, its inner side tucked behind the torso's side, to the elbow out
# near the window's right edge; the forearm comes forward from there, down and
# in to the hand on the hip below the window, so that the wrist crosses the
# bracelet's rectangle (670,560)-(800,600). Between the forearm and the
# torso only a small bend is left open, inside the hair ends' rectangle
# (620,550)-(680,600): the long hair behind the back shows there.
ELBOW = (776.0, 503.0)
WRIST = (712.0, 580.0)
WRIST_DIR = 130.0  # degrees, the forearm's direction towards the hand
WRIST_HALF = 20.0  # the wrist's half width
HAND = (650.0, 654.0)
# the torso's right side below the armpit, as the figure draws it
TORSO_SIDE = "M658 448 C650 480 644 520 641 550"


def forearm_edges():
    """The forearm's outer (lower right) and inner (upper left) edges, from the
    elbow to the hand."""
    ux, uy = math.cos(math.radians(WRIST_DIR)), math.sin(math.radians(WRIST_DIR))
    nx, ny = uy, -ux  # towards the outer side (down and right)
    centre = catmull([ELBOW, WRIST, HAND], False, 8)
    halves = []
    for i in range(len(centre)):
        t = i / (len(centre) - 1)
        # 27 at the elbow, narrowing to the wrist, the hand a little wider
        halves.append(27 - 14 * t if t < 0.5 else 20 + 6 * (t - 0.5))
    outer = [(x + nx * h, y + ny * h) for (x, y), h in zip(centre, halves)]
    inner = [(x - nx * h, y - ny * h) for (x, y), h in zip(centre, halves)]
    return outer, inner


def offset(line, d):
    """The polyline `line` moved d pixels to its left (seen along it)."""
    out = []
    for i in range(len(line)):
        ax, ay = line[max(i - 1, 0)]
        bx, by = line[min(i + 1, len(line) - 1)]
        ln = math.hypot(bx - ax, by - ay) or 1.0
        out.append((line[i][0] + d * (by - ay) / ln, line[i][1] - d * (bx - ax) / ln))
    return out


def arm_group():
    b = []
    outer, inner = forearm_edges()
    # the forearm's inner edge, from the top of the elbow
    inner = catmull([(790, 500), (770, 494), inner[4], inner[8], inner[12], inner[16]], False, 6)
    # the bend starts where the forearm's inner edge passes x 679
    k = next(i for i, (x, y) in enumerate(inner) if x < 679)
    shoulder = catmull([(662, 360), (700, 370), (724, 389), (733, 420), (746, 446), (761, 468), (775, 484),
                        (786, 494)], False, 8)
    # the elbow: a round knob out to the side, running into the forearm
    elbow = catmull([(786, 494), (796, 506), (798, 522), outer[5]], False, 8)
    bend = catmull([inner[k], (664, 574), (650, 562), (643, 550)], False, 6)
    fore_in = inner[:k + 1]
    upper = [(640, 365)] + shoulder + elbow[:-1] + fore_in + bend[1:] + [(640, 500), (636, 420)]
    b.append(path(poly(upper), "skin"))
    # the upper arm turns away behind the torso and under the forearm: shade
    # along the torso's side and along the forearm
    crease = fore_in + bend[1:]
    band = [offset(crease, -min(16.0, 1.0 + i * 0.8))[i] for i in range(len(crease))]
    b.append(path(poly(crease + band[::-1]), "skin-sh"))
    b.append(path(smooth([(658, 448), (676, 458), (682, 480), (674, 520), (662, 556), (646, 552), (644, 520),
                          (650, 480)], True), "skin-sh"))
    b.append(path(smooth([(733, 420), (746, 446), (761, 468), (775, 484), (786, 494), (780, 500), (764, 484),
                          (748, 464), (736, 442)], True), "skin-sh"))
    # the forearm, in front: lit along the top, in shade underneath
    fore = elbow + outer[6:] + inner[::-1]
    b.append(path(poly(fore), "skin"))
    b.append(path(poly(outer[5:] + offset(outer[5:], 9)[::-1]), "skin-sh"))
    top = inner[8:k + 4]
    b.append(strand([(x + 7 * 0.766, y + 7 * 0.643) for x, y in top[::4]], [0] + [5] * (len(top[::4]) - 2) + [0],
                    "skin-hi"))
    b.append(path(poly(catmull([(770, 520), (780, 528), (786, 540)], False, 4), False), "skin-line"))
    # the torso's side over the upper arm, the forearm's inner edge over the
    # upper arm, the bend, and the outline
    b.append(path(TORSO_SIDE, "skin-edge"))
    b.append(path(poly(inner, False), "skin-edge"))
    b.append(path(poly(bend, False), "skin-edge"))
    b.append(path(poly(shoulder + elbow + outer[6:], False), "skin-edge"))
    return b


def head_back_group():
    # the back of the head behind the ear: hair in shade, so that the short
    # styles show no scene between the ear and their locks
    return [path("M480 -12 L566 -12 C580 50 578 120 562 160 C552 174 536 180 516 182 L492 150 Z", "hair-deep")]


def head_group():
    b = []
    # ears (the left one mostly hidden behind the cheek)
    ear = ("M492 104 C504 92 526 96 528 122 C530 142 522 158 514 168 C516 178 514 188 506 192 "
           "C498 194 492 186 492 176 C490 150 488 124 492 104 Z")
    b.append(path(ear, "skin skin-ol"))
    b.append(path("M500 114 C510 106 520 112 520 128 C520 142 514 152 508 160 C506 150 504 140 506 130 "
                  "C504 124 502 118 500 114 Z", "skin-sh"))
    b.append(path("M506 118 C514 116 516 126 512 136", "skin-line"))
    b.append(path("M256 124 C244 128 240 150 244 168 C246 180 250 190 260 192 C266 190 268 182 266 174 Z",
                  "skin skin-ol"))
    b.append(path("M252 140 C248 150 250 166 256 176", "skin-line"))
    face = ("M236 -6 L502 -6 C504 40 504 96 496 124 C486 150 456 172 420 196 C398 210 380 220 366 224 "
            "C354 228 342 227 332 222 C296 206 266 182 248 152 C232 124 226 70 236 -6 Z")
    b.append(path(face, "skin skin-ol"))
    # cheek shadow on the far (right) side and under the chin
    b.append(path("M496 124 C486 150 456 172 420 196 C398 210 380 220 366 224 C392 206 436 182 466 156 "
                  "C482 142 490 128 496 100 Z", "skin-sh"))
    # nose and mouth
    b.append(path("M352 128 C347 137 346 142 354 144", "skin-line"))
    b.append(path("M349 146 C352 148 356 148 359 146", "skin-line"))
    b.append(path("M330 176 C338 183 352 184 362 176 C356 190 338 190 330 176 Z", "lip"))
    b.append(path("M326 175 C338 181 352 181 366 174", "mouth"))
    # blush
    b.append(ellipse(284, 131, 24, 9, "blush"))
    b.append(ellipse(440, 127, 26, 9, "blush"))
    for x in (276, 286, 296):
        b.append(path("M%s 127 L%s 135" % (x + 1, x - 3), "blush-line"))
    for x in (428, 438, 448):
        b.append(path("M%s 123 L%s 131" % (x + 5, x + 1), "blush-line"))
    b.append(path(face, "skin-edge"))
    return b


# ---------------------------------------------------------------- eyes

EYES = {
    # name: iris top, iris mid, iris low, openness, brow tilt, happy lower lid
    0: ("#5a2a10", "#b0652a", "#f0b45a", 1.0, 0, 0),  # warm amber, friendly
    1: ("#0e3d24", "#2f9a5a", "#9ee39a", 0.78, -2, 1),  # emerald, smiling
    2: ("#0f2456", "#3a78d8", "#9ad2ff", 1.12, 5, 0),  # sapphire, wide with surprise
    3: ("#2a1450", "#7a52c8", "#cfb2ff", 0.62, -1, 0),  # violet, sleepy
    4: ("#4a0c20", "#c8385e", "#ffa6b8", 0.95, 3, 0),  # rose, soft and wistful
    5: ("#07323a", "#1b9aa6", "#8ff0e8", 0.9, -6, 0),  # teal, determined
    6: ("#5a2a10", "#b0652a", "#f0b45a", 1.0, 4, 2),  # joyful: eyes shut in a big smile
    7: ("#3a3212", "#8c8a3c", "#dcd890", 0.86, 1, 0),  # hazel, calm
    8: ("#4a0c0c", "#b8322a", "#f59a6a", 0.7, -9, 0, "angry"),  # cross
    9: ("#0f2456", "#3a78d8", "#9ad2ff", 0.95, 7, 0, "teary"),  # sad, close to tears
    10: ("#5a2a10", "#b0652a", "#f0b45a", 1.15, 8, 0, "surprised"),  # startled
    11: ("#0e3d24", "#2f9a5a", "#9ee39a", 1.0, 0, 0, "wink"),  # a wink
    12: ("#2a1450", "#7a52c8", "#cfb2ff", 0.42, 3, 0, "sleepy"),  # nodding off
    13: ("#4a0c20", "#c8385e", "#ffa6b8", 0.58, -4, 0, "smug"),  # pleased with herself
    14: ("#4a0c20", "#c8385e", "#ffa6b8", 1.0, 4, 0, "heart"),  # smitten
    15: ("#07323a", "#1b9aa6", "#8ff0e8", 1.05, 4, 0, "star"),  # starry-eyed
}


def eye(cx, cy, w, h, open_, iris, mirror, happy, glance=-3, style=""):
    """One open eye centred at (cx, cy); w, h the size of the opening."""
    b = []
    top, mid, low = iris
    hh = h * open_
    # eye opening: upper lid arc, lower lid arc
    lx, rx = cx - w / 2, cx + w / 2
    topy = cy - hh * 0.55
    boty = cy + h * 0.45
    if happy:
        boty = cy + h * 0.30
    opening = ("M%s %s C%s %s %s %s %s %s C%s %s %s %s %s %s Z" % (
        f(lx), f(cy + 2), f(lx + w * 0.2), f(topy), f(rx - w * 0.2), f(topy), f(rx), f(cy - 2),
        f(rx - w * 0.15), f(boty + 2), f(lx + w * 0.15), f(boty + 2), f(lx), f(cy + 2)))
    b.append(path(opening, "sclera"))
    b.append(path("M%s %s C%s %s %s %s %s %s C%s %s %s %s %s %s Z" % (
        f(lx + 2), f(cy), f(lx + w * 0.2), f(topy + 2), f(rx - w * 0.2), f(topy + 2), f(rx - 2), f(cy - 3),
        f(rx - w * 0.2), f(topy + 10), f(lx + w * 0.2), f(topy + 10), f(lx + 2), f(cy)), "sclera-sh"))
    # iris: gradient ellipse, kept inside the opening
    icx = cx + glance
    irx, iry = w * 0.3, h * 0.5
    if style == "surprised":
        irx, iry = irx * 0.72, iry * 0.72
    gid = "ir%d%d" % (int(cx), int(cy))
    b.append('<linearGradient id="%s" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
             '<stop offset="0.55" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>' %
             (gid, top, mid, low))
    iris_cy = cy + 2
    b.append(ellipse(icx, iris_cy, irx, iry, "", ' fill="url(#%s)" stroke="%s" stroke-width="1.6"' % (gid, top)))
    if style == "heart":
        hx, hy, r = icx, iris_cy, irx * 0.75
        b.append(path("M%s %s C%s %s %s %s %s %s C%s %s %s %s %s %s Z" % (
            f(hx), f(hy + r), f(hx - 1.6 * r), f(hy - 0.1 * r), f(hx - 0.8 * r), f(hy - 1.3 * r), f(hx), f(hy - 0.5 * r),
            f(hx + 0.8 * r), f(hy - 1.3 * r), f(hx + 1.6 * r), f(hy - 0.1 * r), f(hx), f(hy + r)), "",
            ' fill="#ff6f9a" stroke="#8a1038" stroke-width="1.6"'))
    elif style == "star":
        b.append(star_path(icx, iris_cy + 1, irx * 0.75, irx * 0.3, "#fff6c4", "#c9a84a", 5))
    elif style == "surprised":
        b.append(ellipse(icx, iris_cy + 1, irx * 0.32, iry * 0.36, "pupil"))
    else:
        b.append(ellipse(icx, iris_cy + 1, irx * 0.5, iry * 0.55, "pupil"))
    # iris ring of light at the bottom
    b.append(path("M%s %s C%s %s %s %s %s %s" % (f(icx - irx * 0.7), f(iris_cy + iry * 0.45), f(icx - irx * 0.3),
                                                   f(iris_cy + iry * 0.85), f(icx + irx * 0.3), f(iris_cy + iry * 0.85),
                                                   f(icx + irx * 0.7), f(iris_cy + iry * 0.45)), "",
                  ' fill="none" stroke="%s" stroke-width="3" stroke-linecap="round"' % low))
    # glints
    b.append(ellipse(icx - irx * 0.38, iris_cy - iry * 0.38, irx * 0.34, iry * 0.26, "glint"))
    b.append(circle(icx + irx * 0.42, iris_cy + iry * 0.3, irx * 0.14, "glint2"))
    # cover the iris outside the opening with skin where the lids close
    lid_cover = "M%s %s L%s %s L%s %s L%s %s L%s %s C%s %s %s %s %s %s Z" % (
        f(lx - 4), f(cy + 2), f(lx - 4), f(cy - h * 0.5 - 3), f(rx + 4), f(cy - h * 0.5 - 3), f(rx + 4), f(cy - 2),
        f(rx), f(cy - 2),
        f(rx - w * 0.2), f(topy), f(lx + w * 0.2), f(topy), f(lx), f(cy + 2))
    b.append(path(lid_cover, "skin"))
    low_cover = "M%s %s C%s %s %s %s %s %s L%s %s L%s %s Z" % (
        f(lx), f(cy + 2), f(lx + w * 0.15), f(boty + 2), f(rx - w * 0.15), f(boty + 2), f(rx), f(cy - 2),
        f(rx), f(cy + h * 0.5 + 5), f(lx), f(cy + h * 0.5 + 5))
    b.append(path(low_cover, "skin"))
    if style == "teary":
        # a film of tears on the lower lid and a drop at the outer corner
        b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx + 4), f(boty - 1), f(lx + w * 0.3), f(boty + 3),
                                                       f(rx - w * 0.3), f(boty + 3), f(rx - 4), f(boty - 1)), "",
                      ' fill="none" stroke="#bfe6ff" stroke-width="3" stroke-linecap="round"'))
        ox = lx + 4 if mirror else rx - 4
        b.append(path("M%s %s C%s %s %s %s %s %s C%s %s %s %s %s %s Z" % (
            f(ox), f(boty - 2), f(ox + 4), f(boty + 2), f(ox + 4), f(boty + 6), f(ox), f(boty + 6),
            f(ox - 4), f(boty + 6), f(ox - 4), f(boty + 2), f(ox), f(boty - 2)), "",
            ' fill="#bfe6ff" stroke="#4a8fd0" stroke-width="1.4"'))
    # upper lash: thick band, heavier at the outer corner
    outer = rx if not mirror else lx
    sgn = 1 if not mirror else -1
    # simpler reliable lash: stroke along the lid plus a flick
    b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx - 1), f(cy + 3), f(lx + w * 0.2), f(topy - 1),
                                                   f(rx - w * 0.2), f(topy - 1), f(rx + 1), f(cy - 2)), "",
                  ' fill="none" stroke="#2a1410" stroke-width="5.5" stroke-linecap="round"'))
    # the flick points out rather than up: in the scene show the left
    # figure's closed eyes take the strip right of the right eye's corner
    # from the open picture, down to 14 pixels above the corner
    b.append(path("M%s %s L%s %s L%s %s Z" % (f(outer - sgn * 6), f(cy - 5 - hh * 0.2), f(outer + sgn * 10),
                                               f(cy - 8), f(outer + sgn * 1), f(cy + 1)), "lash"))
    # lower lash: short line at the outer side
    b.append(path("M%s %s C%s %s %s %s %s %s" % (f(cx - sgn * w * 0.05), f(boty + 3), f(cx + sgn * w * 0.2),
                                                   f(boty + 3), f(cx + sgn * w * 0.38), f(boty), f(outer), f(cy + 2)),
                  "lash-line", ' stroke-width="1.8"'))
    # crease above the lid
    b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx + w * 0.2), f(topy - 3), f(lx + w * 0.4), f(topy - 7),
                                                   f(rx - w * 0.3), f(topy - 7), f(rx - w * 0.1), f(topy - 3)),
                  "crease"))
    return b


def brow(cx, y, w, tilt, mirror):
    """A tapered brow; tilt > 0 raises the end near the nose (surprise,
    worry), tilt < 0 lowers it (resolve)."""
    x0, x1 = cx - w / 2, cx + w / 2
    inner_left = not mirror  # the right eye's brow has its inner end on the left
    y0 = y + 2 - tilt if inner_left else y + 4
    y1 = y + 4 if inner_left else y + 2 - tilt
    pts = [(x0, y0), (cx, y - 3), (x1, y1)]
    # solid and tapered: full at the end near the nose, fine at the outer end
    return strand(pts, [5.5, 6.5, 1] if inner_left else [1, 6.5, 5.5], "brow")


def joy_eye(cx, cy, w, mirror):
    """An eye closed in laughter: an arch with a lash flick."""
    lx, rx = cx - w / 2, cx + w / 2
    sgn = -1 if mirror else 1
    outer = lx if mirror else rx
    return [path("M%s %s C%s %s %s %s %s %s" % (f(lx + 2), f(cy + 8), f(lx + w * 0.25), f(cy - 14), f(rx - w * 0.25),
                                                  f(cy - 14), f(rx - 2), f(cy + 8)), "",
                 ' fill="none" stroke="#2a1410" stroke-width="5.5" stroke-linecap="round"'),
            path("M%s %s L%s %s" % (f(outer - sgn * 2), f(cy + 6), f(outer + sgn * 7), f(cy + 2)), "lash-line",
                 ' stroke-width="3"')]


def eyes_group(k):
    top, mid, low, open_, tilt, happy = EYES[k][:6]
    style = EYES[k][6] if len(EYES[k]) > 6 else ""
    b = []
    if happy == 2:
        return joy_eye(300, 88, 58, True) + joy_eye(418, 86, 66, False)
    glance = 4 if style == "smug" else -3
    if style == "wink":
        b += joy_eye(300, 88, 58, True)
    else:
        b += eye(300, 86, 58, 52, open_, (top, mid, low), True, happy, glance, style)
    b += eye(418, 84, 66, 56, open_, (top, mid, low), False, happy, glance, style)
    return b


def brows_group(k):
    # drawn over the fringe, as the style has it
    tilt = EYES[k][4]
    lift = 2 if tilt > 3 else 0
    if len(EYES[k]) > 6 and EYES[k][6] == "surprised":
        lift = 5
    return [brow(298, 49 - lift, 50, tilt, True), brow(420, 46 - lift, 56, tilt, False)]


def closed_eyes_group():
    b = []
    for cx, cy, w, mirror in ((300, 90, 58, True), (418, 88, 66, False)):
        lx, rx = cx - w / 2, cx + w / 2
        sgn = -1 if mirror else 1
        outer = lx if mirror else rx
        b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx), f(cy - 2), f(lx + w * 0.2), f(cy + 12), f(rx - w * 0.2),
                                                       f(cy + 12), f(rx), f(cy - 2)), "",
                      ' fill="none" stroke="#2a1410" stroke-width="5" stroke-linecap="round"'))
        for t in (0.25, 0.5, 0.75):
            x = lx + w * t
            y = cy + 9
            b.append(path("M%s %s L%s %s" % (f(x), f(y), f(x + sgn * 2), f(y + 6)), "lash-line", ' stroke-width="2"'))
        b.append(path("M%s %s L%s %s" % (f(outer), f(cy - 2), f(outer + sgn * 8), f(cy - 6)), "lash-line",
                      ' stroke-width="3"'))
        b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx + w * 0.2), f(cy - 7), f(lx + w * 0.4), f(cy - 11),
                                                       f(rx - w * 0.3), f(cy - 11), f(rx - w * 0.1), f(cy - 7)),
                      "crease"))
    return b


# ---------------------------------------------------------------- hair

def fringe_locks(long_):
    L = []
    # the tips end above the brows, so the brows lie on skin
    d = (10 if long_ else 0) - 8
    # fringe locks fan out from the parting at the upper right, tips down-left
    tips = [(250, 58 + d), (276, 48 + d), (305, 60 + d), (333, 50 + d), (358, 64 + d), (384, 48 + d),
            (408, 56 + d), (432, 44 + d), (456, 50 + d), (478, 40 + d)]
    for i, (tx, ty) in enumerate(tips):
        # standard: swept from a parting at the upper right; long: straight bangs
        root = (tx + 34, -30) if long_ else (448 + i * 2, -30)
        midp = ((root[0] + tx) / 2 + 14, (root[1] + ty) / 2 - 4)
        w = 46 if i % 2 == 0 else 40
        L.append(lock([root, midp, (tx, ty)], [w, w * 0.8, 0], shade_side=-1, hi=(i % 3 == 1)))
    return L


def fringe_shadow_group(long_):
    b = []
    # shadow the fringe casts on the forehead
    tips = [(250, 62), (276, 52), (305, 64), (333, 54), (358, 68), (384, 52), (408, 60), (432, 48), (456, 54),
            (478, 44)]
    tips = [(x, y + (10 if long_ else 0) - 8) for x, y in tips]
    sh = [(236, 0)] + [(x + 4, y - 2) for x, y in tips] + [(502, 40), (502, 0)]
    b.append(path(poly(sh), "skin-sh"))
    return b


def fringe_group(long_):
    b = []
    # a cap of hair over the crown so no forehead shows between the roots
    b.append(path("M236 -10 L540 -10 L540 20 C470 26 360 30 244 38 C238 30 236 16 236 -10 Z", "hair"))
    b += fringe_locks(long_)
    # temple locks framing the face on both sides
    # (kept inside the face column, or the cell's edge would cut them)
    b.append(lock([(248, -10), (240, 40), (238, 96), (244, 130)], [30, 26, 20, 0], shade_side=1, hi=False))
    b.append(lock([(478, -10), (484, 40), (486, 90), (482, 128)], [28, 24, 16, 0], shade_side=-1, hi=False))
    # a broken ring of light following the curve of the skull
    # a broken ring of light across the crown, high enough to stay on the hair
    for a0, a1, w in ((-111, -100, 5), (-95, -82, 6), (-77, -68, 5)):
        b.append(sheen_arc(366, 212, 300, 196, a0, a1, w))
    return b


def side_group():
    b = []
    # locks falling in front of both cheeks and the right ear
    # (the left one reaches the ear, so no scene shows between them when the
    # back hair is hidden, and ends inside the side hair's picture)
    b.append(lock([(240, -14), (228, 50), (225, 120), (234, 170), (246, 197)], [40, 38, 36, 28, 0], shade_side=1,
                  hi=False))
    b.append(flow([(246, 10), (238, 80), (240, 140), (246, 180)], [14, 14, 10, 0], 1))
    b.append(lock([(486, -14), (498, 60), (504, 110), (500, 150), (492, 172)], [32, 30, 22, 14, 0], shade_side=-1,
                  hi=False))
    return b


def main_hair_group():
    b = []
    # the whole back mass; the figure and the face are cut out of it by the
    # generator, so it may run behind them freely
    mass = [(190, -12), (147, 40), (134, 100), (120, 170), (110, 222), (100, 246), (90, 272), (104, 262),
            (118, 248), (132, 268), (150, 298), (160, 282), (172, 266), (186, 284), (200, 300), (224, 300), (236, 384), (672, 384), (684, 350),
            (698, 300), (696, 250), (698, 200), (688, 140), (670, 84), (644, 30), (612, -12)]
    d = poly(catmull(mass, True, 6))
    b.append(path(d, "hair hair-ol"))
    # the inner mass around the neck is in shade
    b.append(path(smooth([(232, 170), (270, 214), (320, 244), (380, 252), (470, 214), (520, 186), (560, 200),
                          (580, 300), (560, 384), (300, 384), (262, 300), (236, 230)]), "hair-deep"))
    # strands catching a little light in the shade behind the neck
    for pts, ws in (([(262, 200), (280, 250), (290, 300)], [8, 12, 6]),
                    ([(300, 226), (312, 262), (318, 300)], [6, 10, 4]),
                    ([(530, 190), (540, 240), (546, 300)], [8, 12, 6]),
                    ([(506, 206), (512, 250), (514, 300)], [6, 10, 4])):
        b.append(strand(pts, ws, "hair"))
        b.append('<path class="hair-line" d="%s"/>' % poly(catmull(pts, False, 6), False))
    for pts in (([(246, 190), (262, 250), (270, 300)]), ([(284, 220), (296, 262), (302, 300)]),
                ([(548, 196), (558, 250), (564, 300)]), ([(518, 200), (526, 250), (530, 300)])):
        b.append('<path class="hair-line" d="%s"/>' % poly(catmull(pts, False, 6), False))
    for pts, ws, side, hi in (
            ([(176, -10), (150, 70), (134, 150), (118, 214), (94, 268)], [40, 40, 34, 26, 0], 1, False),
            ([(200, 0), (178, 90), (160, 170), (152, 236), (150, 294)], [36, 36, 32, 24, 0], 1, False),
            ([(222, 40), (204, 130), (190, 210), (188, 260), (198, 296)], [32, 32, 28, 20, 0], 1, False),
            ([(236, 120), (222, 200), (210, 262), (204, 298)], [28, 28, 22, 0], 1, False),
            ([(616, -10), (644, 70), (662, 150), (674, 230), (684, 300)], [40, 40, 36, 30, 20], -1, False),
            ([(588, 0), (614, 90), (632, 170), (644, 240), (652, 300)], [36, 36, 34, 30, 24], -1, False)):
        b.append(flow(pts, ws, side, hi))
    # crown with its ring of light
    b.append(path("M160 -12 L640 -12 C620 20 560 30 480 30 C380 30 260 28 180 40 Z", "hair"))
    b.append(sheen_arc(400, 250, 250, 240, -138, -124, 6))
    b.append(sheen_arc(400, 250, 250, 240, -56, -42, 6))
    b.append(path(d, "hair-edge"))
    return b


def sub_hair_group():
    """Hair falling over the shoulders, in front of the body. The top of each
    mass lies inside the back hair, so only its sides and tips are outlined."""
    b = []
    right = [(540, 168), (600, 178), (650, 206), (684, 250), (694, 300), (692, 346), (690, 382), (688, 404),
             (682, 418), (674, 396), (666, 372), (660, 392), (654, 406), (648, 390), (640, 380), (634, 402),
             (622, 419), (618, 400), (612, 390), (604, 400), (598, 398), (590, 384), (580, 402), (568, 416),
             (566, 396), (562, 360), (556, 320), (548, 270), (538, 220)]
    left = [(238, 196), (256, 214), (266, 250), (266, 300), (262, 350), (256, 386), (250, 413), (244, 392),
            (238, 378), (230, 396), (222, 404), (216, 380), (212, 330), (212, 280), (216, 240)]
    for sil, side in ((right, -1), (left, 1)):
        dense = catmull(sil, True, 6)
        b.append(path(poly(dense), "hair"))
        if side < 0:
            inner = [([(552, 190), (566, 300), (576, 370), (570, 412)], [16, 26, 22, 0]),
                     ([(578, 186), (606, 300), (624, 380), (622, 416)], [18, 30, 24, 0]),
                     ([(606, 190), (642, 300), (656, 380), (654, 404)], [18, 30, 24, 0]),
                     ([(640, 210), (678, 300), (684, 380), (682, 414)], [14, 24, 18, 0])]
        else:
            inner = [([(234, 206), (224, 300), (224, 370), (222, 402)], [12, 22, 16, 0]),
                     ([(246, 206), (256, 300), (256, 370), (250, 410)], [12, 20, 14, 0])]
        for i, (pts, ws) in enumerate(inner):
            b.append(flow(pts, ws, side, hi=(i == 1)))
        # outline everything but the top edge
        b.append(path(poly(dense, True), "hair-edge"))
    return b


def front_group(long_):
    b = []
    if not long_:
        b.append(lock([(470, -10), (520, 60), (546, 140), (552, 200), (534, 236)], [52, 48, 42, 30, 0],
                      shade_side=-1, hi=False))
        b.append(lock([(500, 0), (552, 80), (574, 160), (572, 224)], [40, 36, 30, 0], shade_side=-1, hi=False))
    else:
        # the long style's right side: a full curtain falling from the crown
        # behind the ear and the neck, wider than the standard hair at the
        # top and down to the picture's lower edge, in tapered locks of
        # varied length that fan out over the shoulder (the head, the neck
        # and the side hair are cut out of it)
        b.append(path(smooth([(470, -20), (600, -24), (646, 20), (662, 80), (662, 150), (654, 200), (636, 226),
                              (600, 236), (560, 226), (520, 200), (490, 120)]), "hair-deep"))
        for pts, ws, side, hi in (
                ([(596, -24), (634, 40), (646, 110), (650, 170), (646, 226)], [44, 44, 34, 22, 0], -1, False),
                ([(566, -20), (610, 50), (630, 130), (636, 200), (630, 252)], [54, 54, 46, 30, 0], -1, True),
                ([(540, -20), (582, 60), (604, 140), (612, 206), (606, 256)], [54, 54, 46, 30, 0], -1, False),
                ([(516, -10), (552, 70), (570, 150), (574, 210), (566, 246)], [50, 50, 42, 28, 0], -1, True),
                ([(496, 0), (526, 80), (540, 160), (538, 226)], [44, 44, 34, 0], -1, False),
                ([(580, -20), (620, 60), (640, 150), (642, 236)], [28, 28, 22, 0], 1, False)):
            b.append(lock(pts, ws, shade_side=side, hi=hi))
        b.append(sheen_arc(520, 260, 150, 260, -80, -62, 6))
    return b


def front_long_over_group():
    """Locks of the long style that fall forward from behind the ear over the
    side of the neck, towards the shoulder: drawn over the figure, under the
    ear, the face and the side hair."""
    b = []
    for pts, ws, hi in (([(556, -20), (578, 70), (582, 150), (572, 210), (560, 256)], [36, 34, 30, 24, 0], False),
                        ([(526, -20), (546, 60), (550, 140), (538, 206), (518, 254)], [40, 38, 34, 26, 0], True),
                        # from behind the ear lobe, down the neck
                        ([(514, 140), (512, 180), (502, 220), (490, 252)], [30, 30, 22, 0], False)):
        b.append(lock(pts, ws, shade_side=-1, hi=hi))
    return b


def longleft_group():
    # the long style's left side: the crown swells out beyond the standard
    # hair and falls in tapered locks of varied length down to the
    # picture's lower edge, over the back hair that runs on below it
    b = [path(smooth([(250, -20), (170, -24), (128, 20), (110, 70), (108, 120), (124, 130), (160, 120),
                      (200, 110), (236, 90), (252, 40)]), "hair-deep")]
    for pts, ws, side, hi in (
            ([(184, -24), (146, 20), (128, 70), (122, 112), (124, 146)], [46, 46, 38, 26, 0], 1, False),
            ([(206, -24), (170, 30), (150, 80), (144, 118), (148, 148)], [50, 50, 42, 28, 0], 1, True),
            ([(228, -20), (196, 40), (176, 86), (168, 120), (172, 144)], [48, 48, 40, 26, 0], 1, False),
            ([(248, -10), (224, 44), (208, 92), (202, 126), (206, 148)], [40, 40, 34, 22, 0], 1, False),
            ([(196, -24), (156, 40), (134, 100), (132, 136)], [26, 26, 20, 0], -1, False)):
        b.append(lock(pts, ws, shade_side=side, hi=hi))
    b.append(sheen_arc(250, 250, 150, 260, -122, -104, 6))
    return b


def tip_group():
    # the long hair behind the back, seen in the gap between the arm and the
    # body: strands running down and out, lit from the upper left
    b = [path("M610 540 L690 540 L690 610 L610 610 Z", "hair")]
    for x in (628, 650, 672):
        b.append(strand([(x - 6, 536), (x, 570), (x + 8, 610)], [6, 8, 8], "hair-deep", bias=1.2))
        b.append(path("M%d 536 C%d 560 %d 585 %d 610" % (x, x + 3, x + 6, x + 10), "hair-line"))
    b.append(strand([(646, 548), (652, 570), (660, 596)], [0, 5, 0], "hair-hi"))
    return b


# The back of the head behind the right ear for the short styles: it runs
# over the ear's back rim and down past the base figure's shaded back of
# the head, its lower edge in short points.
NAPE = [(480, -14), (584, -14), (598, 50), (596, 118), (588, 160), (578, 194), (566, 184), (554, 197),
        (540, 188), (526, 198), (514, 190), (510, 176), (518, 160), (524, 130), (522, 108), (512, 96),
        (496, 90), (482, 96)]


def shaggy_group():
    b = []
    b.append(path(poly(NAPE), "hair-deep hair-ol"))
    for pts, ws in (([(540, 10), (566, 80), (570, 150), (560, 186)], [20, 22, 16, 0]),
                    ([(520, 20), (546, 100), (548, 150), (540, 182)], [14, 16, 12, 0])):
        b.append(strand(pts, ws, "hair-sh"))
    b.append(path(poly(NAPE), "hair-edge"))
    # the crown, under every lock
    b.append(path("M170 -12 L580 -12 C584 10 560 30 480 34 C400 38 300 38 226 44 C190 40 170 20 170 -12 Z",
                  "hair"))
    # a short, layered bob: choppy locks all round, fringe falling to the brows
    outer = [((206, -70), (176, 40), (162, 140), (172, 206), (188, 238)),
             ((240, -70), (206, 60), (190, 160), (204, 222)),
             ((534, -70), (570, 50), (584, 150), (572, 212), (558, 242)),
             ((506, -70), (544, 70), (558, 160), (548, 224))]
    for i, pts in enumerate(outer):
        n = len(pts)
        ws = [54] + [50 - 6 * j for j in range(1, n - 1)] + [0]
        b.append(lock(list(pts), ws, shade_side=1 if i < 2 else -1, hi=(i % 2 == 0)))
    for i, (tx, ty) in enumerate([(220, 120), (238, 150), (492, 150), (510, 128), (232, 178), (498, 190)]):
        root = (tx + (10 if tx < 360 else -10), -40)
        b.append(lock([root, ((root[0] + tx) / 2 - (8 if tx < 360 else -8), (20 + ty) / 2), (tx, ty)],
                      [30, 26, 0], shade_side=1 if tx < 360 else -1, hi=False))
    # wisps over the standard temple locks, whose tips reach below the face
    # column into the base figure
    b.append(lock([(254, 60), (246, 104), (250, 146)], [22, 18, 0], shade_side=1, hi=False))
    b.append(lock([(476, 60), (484, 104), (480, 144)], [22, 16, 0], shade_side=-1, hi=False))
    for i, (tx, ty) in enumerate([(240, 92), (260, 72), (282, 52), (304, 58), (326, 48), (348, 74),
                                  (366, 62), (388, 50), (410, 56), (432, 46), (454, 60), (474, 78), (490, 94)]):
        left = tx < 364
        # a gentle fan: roots a little towards the middle, so that the
        # outlines run side by side instead of meeting in lumps at the crown
        root = (tx + (364 - tx) * 0.3 + (i % 3 - 1) * 8, -60)
        w = 42 if i % 2 == 0 else 34
        bend = -10 if left else 10
        b.append(lock([root, ((root[0] + tx) / 2 + bend, (root[1] + ty) / 2), (tx, ty)], [w, w * 0.75, 0],
                      shade_side=1 if left else -1, hi=(i % 3 == 0)))
    for a0, a1, w in ((-111, -100, 5), (-95, -82, 6), (-77, -68, 5)):
        b.append(sheen_arc(366, 210, 300, 196, a0, a1, w))
    return b


def pank_group():
    b = []
    b.append(path("M178 -12 L572 -12 L572 30 C480 40 330 40 186 46 Z", "punk punk-ol"))
    # spikes fanning out from the crown
    for i, (tx, ty) in enumerate([(152, 14), (160, 70), (182, 128), (598, 18), (592, 76), (568, 132)]):
        left = tx < 360
        root = (262 if left else 478, 6)
        midp = ((root[0] + tx) / 2, (root[1] + ty) / 2 - 8)
        b.append(lock([root, midp, (tx, ty)], [60, 44, 0], shade_side=1 if left else -1, hi=(i % 2 == 0),
                      pal="punk"))
    # the back of the head, round behind the ear
    b.append(path(poly(NAPE), "punk punk-ol"))
    for pts, ws in (([(540, 10), (566, 80), (570, 150), (560, 186)], [20, 22, 16, 0]),
                    ([(520, 20), (546, 100), (548, 150), (540, 180)], [14, 16, 12, 0])):
        b.append(strand(pts, ws, "punk-sh"))
    b.append(strand([(556, 30), (576, 80), (580, 120)], [0, 8, 0], "punk-hi"))
    b.append(path(poly(NAPE), "punk-edge"))
    # sideburns over the temples
    b.append(lock([(240, -10), (234, 60), (238, 124), (252, 166)], [56, 56, 44, 0], shade_side=1, pal="punk"))
    b.append(lock([(482, -10), (490, 60), (492, 112), (488, 150)], [48, 46, 36, 0], shade_side=-1, pal="punk"))
    # spiky fringe: a band under the spikes hides the standard fringe, whose
    # tips reach row 64
    b.append(path("M226 -12 L506 -12 L506 52 C440 58 330 60 232 58 Z", "punk"))
    for i, (tx, ty) in enumerate([(246, 72), (272, 80), (300, 68), (328, 84), (356, 70), (384, 82), (412, 68),
                                  (440, 78), (466, 66), (490, 72)]):
        root = (tx + 18, -16)
        b.append(lock([root, (tx + 10, ty / 2), (tx, ty)], [46, 40, 0], shade_side=-1 if i % 2 else 1,
                      hi=False, pal="punk"))
    return b


def otohime_group():
    """Straight, sleek princess hair: a long curtain behind, cut in a straight
    line. The face, the neck and the side locks are cut out of it."""
    b = []
    back = ("M172 -12 L628 -12 C640 80 646 180 648 300 L646 394 L154 394 L152 300 C154 180 160 80 172 -12 Z")
    b.append(path(back, "hair hair-ol"))
    b.append(path("M206 150 C262 232 330 252 430 252 C522 252 584 222 616 150 L622 394 L196 394 Z", "hair-sh"))
    # the curtain behind the neck is hair too: strands running down it, a
    # few catching the light
    for i, x in enumerate(range(224, 606, 18)):
        top = 150 + 100 * math.sin(math.pi * (x - 206) / 410.0) ** 0.6
        b.append('<path class="hair-line" d="M%d %s C%d %s %d 320 %d 392"/>' % (
            x, f(top), x - 2, f(top + 60), x - 4, x - 5))
        if i % 4 == 1:
            b.append(strand([(x + 8, top + 20), (x + 6, top + 80), (x + 4, 390)], [0, 7, 4], "hair"))
    # long straight strands
    for x0, x1 in ((170, 158), (190, 176), (214, 204), (612, 630), (592, 612), (570, 586)):
        b.append(path("M%d 0 C%d 120 %d 260 %d 390" % (x0, x0 + (x1 - x0) * 0.3, x1, x1), "hair-line"))
    for x0, x1 in ((182, 166), (600, 620)):
        b.append(path("M%d 10 C%d 130 %d 260 %d 392 L%d 392 C%d 260 %d 130 %d 10 Z" % (
            x0, x0 + (x1 - x0) * 0.3, x1, x1, x1 + 10, x1 + 10, x0 + 10 + (x1 - x0) * 0.3, x0 + 10), "hair-sh"))
    # a ring of light across the curtain
    b.append(sheen_arc(400, 300, 226, 236, -165, -140, 7))
    b.append(sheen_arc(400, 300, 226, 236, -40, -16, 7))
    b.append(path("M160 -12 L640 -12 C620 20 560 30 480 30 C380 30 260 28 170 40 Z", "hair"))
    b.append(path(back, "hair-edge"))
    # a pearl comb above the right ear
    # a pearl comb on the far side of the parting, clear of the hairband's
    # place above the right ear
    b.append(path("M160 50 L214 26 L220 36 L166 60 Z", "gold gold-ol"))
    for i in range(5):
        b.append(circle(166 + i * 12, 56 - i * 5 + (i % 2) * 5, 6, "pearl pearl-ol"))
    return b


def otohime_front_group():
    """The straight front locks falling from the temples over the shoulders,
    an even width all the way and cut level at the ends, as the style has it.
    The side locks lie over the left one."""
    b = []
    # Both run down from the crown (their tops lie under its hair); the left
    # one keeps left of the ear, along the side lock.
    for centre, w in (([(226, -14), (220, 150), (224, 250), (232, 330), (236, 392)], 40),
                      ([(578, -14), (598, 120), (606, 230), (604, 320), (600, 392)], 50)):
        line = catmull(centre, False, 10)
        b.append(strand(centre, [w * 0.7, w, w, w, w], "hair hair-ol"))
        b.append(strand(centre, [w * 0.25, w * 0.36, w * 0.36, w * 0.36, w * 0.36], "hair-sh", bias=1.1))
        for off in (-0.22, 0.18):
            pts = [(x + off * w, y) for x, y in line[4:]]
            b.append('<path class="hair-line" d="%s"/>' % poly(pts, False))
        hx, hy = centre[1]
        b.append(strand([(hx - 6, hy), (hx - 6, hy + 50), (hx - 4, hy + 100)], [0, 6, 0], "hair-sheen"))
        b.append(strand(centre, [w * 0.7, w, w, w, w], "hair-edge"))
    return b


# ---------------------------------------------------------------- clothes

# The bodice's sides, the body's own outline: the dress covers the torso to
# its edges, so a cut differs in its neckline and what lies on the cloth.
LEFT_SIDE = ((203, 512), (198, 628))
RIGHT_SIDE = ((641, 512), (640, 628))
# The bodice's centre seam (window x): bows, knots and lacing centre on it.
SEAM = 455


def side_x(y, left):
    (x0, y0), (x1, y1) = LEFT_SIDE if left else RIGHT_SIDE
    t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
    return x0 + (x1 - x0) * t


# The sash: a band under the bust that every dress wears, tied in a knot at
# the right side, its tails hanging towards the hip. It is what the hem keys
# repaint, so it lies where they paint: across rows up to 560 left of column
# 610, and only below row 560 from column 580 on (the chest rises by up to
# 5 rows in the last breathing pose, which the numbers allow for).
SASH_TOP = 544
SASH_DEPTH = 12


def sash_top(x):
    if x <= 556:
        return SASH_TOP
    if x <= 610:
        return SASH_TOP + 22 * ((x - 556) / 54.0) ** 2
    return SASH_TOP + 22 + 0.55 * (x - 610)


def sash_bottom(x):
    # a softly waved lower edge, a little lower where the knot pulls it
    return sash_top(x) + SASH_DEPTH + 1.6 * math.sin((x - 203) / 7.0) - 1.6


def sash_outline():
    xs = [198 + i * 2 for i in range(0, 223)] + [644]
    top = [(x, sash_top(x)) for x in xs]
    bot = [(x, sash_bottom(x)) for x in xs]
    d = poly(top + bot[::-1])
    # the knot and its two tails, below and to the right of the bend
    d += " M584 556 C590 549 602 551 606 558 C608 567 600 574 592 572 C584 570 580 563 584 556 Z"
    d += " M598 570 C604 580 610 590 612 598 L622 598 C618 588 612 576 604 566 Z"
    d += " M604 572 C614 578 626 586 634 594 L640 588 C632 580 620 572 606 566 Z"
    return d


def trim_group():
    return [path(sash_outline(), "ink")]


def cup_line(x, lo, peak, dip):
    """A sweetheart-like neckline: rising from the sides to two crests and
    dipping to the seam."""
    half = SEAM - 203 if x < SEAM else 641 - SEAM
    t = abs(x - SEAM) / half  # 0 at the seam, 1 at the side
    crest = math.sin(math.pi * min(1.0, (1 - t) / 0.78) * 0.5)
    y = lo - (lo - peak) * crest
    if t < 0.25:
        y += (dip - peak) * ((0.25 - t) / 0.25) ** 1.6
    return y


# The cut of each costume: the shape of its neckline. Each stays below row
# 505 (the chest rises in the breathing poses and the picture's top row would
# cut it), above the sash, and has cloth at the colour pixel, window (210,515).
CUTS = ["sweetheart", "square", "sailor", "scalloped", "lace", "frill", "asymmetric", "bib"]


def neckline(cut, x):
    c = x - SEAM
    if cut == "sweetheart":
        y = cup_line(x, 514, 505, 530)
    elif cut == "square":
        y = 506
        if abs(c) < 62:
            y = 530 - max(0.0, abs(c) - 50) * 2.0
    elif cut == "sailor":
        y = 506 + max(0.0, 26 * (1 - abs(c) / 64))
    elif cut == "scalloped":
        ph = (x - 203) / 27.4
        y = 513 - 8 * abs(math.sin(math.pi * ph))
    elif cut == "lace":
        y = 510
        if 260 < x < 630:
            ph = (x - 260) / 18.5
            tri = 1 - abs(2 * (ph - math.floor(ph)) - 1)
            y = 508 + 6 * tri + 10 * max(0.0, 1 - abs(c) / 90)
    elif cut == "frill":
        y = 506
    elif cut == "asymmetric":
        # high over the left breast, where the strings hang from it, and
        # falling in one sweep towards the right arm
        y = 506 + 28 * max(0.0, (x - 340) / 301.0) ** 1.2
    elif cut == "bib":
        y = 520
        if abs(c) < 120:
            y = 505
        if abs(c) < 128:
            y = 505 + (abs(c) - 120) * 1.8 if abs(c) > 120 else 505
        if x < 226:
            y = 512
    return max(505.0, min(y, SASH_TOP - 4.0))


def bodice(cut):
    """The bodice's outline for a cut."""
    pts = [(side_x(y, True), y) for y in range(628, 512, -4)]
    for x in range(203, 642, 2):
        pts.append((x, neckline(cut, x)))
    pts += [(side_x(y, False), y) for y in range(512, 629, 4)]
    d = "M" + " L".join("%s %s" % (f(x), f(y)) for x, y in pts) + " Z"
    return d


# costume: main, shade, light, outline, print colour, sash, sash shade, sash outline
COSTUMES = [
    ("#6f9fe3", "#4b74bf", "#a6c7f4", "#263d6e", "#eef5ff", "#fff3dc", "#ead3ac", "#8a6a45"),  # blue dots
    ("#e8506a", "#b02c48", "#ff9fb0", "#5a1020", "#fff0f2", "#3a3a5a", "#23233c", "#101020"),  # gingham
    ("#f7f9ff", "#c9d3ea", "#ffffff", "#26365e", "#2e4f9a", "#e23a55", "#9e1634", "#5a0c1c"),  # sailor
    ("#6cc7a0", "#3f9477", "#b2ecd2", "#1f5a44", "#ffffff", "#f7b6cf", "#e08aae", "#8a4462"),  # floral
    ("#b79ce6", "#8a6cc4", "#dccbff", "#3a2a66", "#f4eeff", "#ece0fa", "#d4c4ec", "#6a5690"),  # lace, laced
    ("#ffd75a", "#e0a92c", "#fff0a8", "#6e4a10", "#ffffff", "#5fb3e8", "#3a86c0", "#1f4a70"),  # stripes
    ("#c0303f", "#85182a", "#e8707c", "#40080f", "#f2c14e", "#f2c14e", "#c08a22", "#6e4a10"),  # velvet, gold
    ("#4a6fa8", "#2f4c80", "#7d9fd4", "#17264a", "#dfe8f6", "#f6f0e2", "#d8ccb0", "#6a5a3a"),  # pinafore
]


def costume_name(k):
    return "costume" if k == 0 else "costume-%d" % (k + 1)


def costume_trim(k):
    """The sash of costume k, without its outline: the build lays it over the
    dress exactly where the hem keys paint."""
    main, sh, hi, ol, pr, tr, tr_sh, tr_ol = COSTUMES[k]
    d = sash_outline()
    b = [path(d, "", ' fill="%s"' % tr)]
    xs = range(204, 586, 2)
    if k in (0, 3, 4):
        # lace holes along the band
        for x in range(212, 580, 12):
            b.append(circle(x, sash_top(x) + SASH_DEPTH / 2, 1.8, "", ' fill="%s"' % tr_sh))
    elif k == 1:
        b.append(path(poly([(x, sash_top(x) + 3) for x in xs], False), "",
                      ' fill="none" stroke="%s" stroke-width="1.2"' % tr_sh))
    elif k in (2, 5, 6, 7):
        b.append(path(poly([(x, sash_bottom(x) - 3) for x in xs], False), "",
                      ' fill="none" stroke="%s" stroke-width="1.6"' % tr_sh))
    # the knot's fold and the tails' shade
    b.append(path("M590 558 C596 560 600 566 598 570", "", ' fill="none" stroke="%s" stroke-width="1.6"' % tr_sh))
    b.append(path("M604 572 L616 596 M608 572 L634 590", "", ' fill="none" stroke="%s" stroke-width="1.4"' % tr_sh))
    return b


def costume_group(k=0):
    main, sh, hi, ol, pr, tr, tr_sh, tr_ol = COSTUMES[k]
    fill = lambda c: ' fill="%s"' % c
    cut = CUTS[k]
    outline = bodice(cut)
    b = [path(outline, "", fill(main))]
    # prints, cut to the bodice below
    if k == 0:
        for x, y in ((240, 580), (290, 566), (340, 590), (392, 574), (430, 604), (506, 566), (552, 588),
                     (598, 540), (262, 612), (470, 580), (610, 608), (370, 612), (300, 528), (560, 522),
                     (400, 532)):
            b.append(circle(x, y, 5, "", fill(pr)))
    elif k == 1:
        # gingham: translucent bands both ways
        # (the colour pixel, window (210,515), stays on the plain red)
        for x in range(214, 650, 24):
            b.append('<rect x="%d" y="500" width="12" height="130" fill="%s" fill-opacity="0.45"/>' % (x, pr))
        for y in range(520, 630, 24):
            b.append('<rect x="190" y="%d" width="460" height="12" fill="%s" fill-opacity="0.45"/>' % (y, pr))
    elif k == 2:
        for y in range(568, 630, 14):
            b.append('<rect x="190" y="%d" width="460" height="5" fill="%s"/>' % (y, pr))
    elif k == 3:
        for i, (x, y) in enumerate(((236, 580), (300, 596), (356, 574), (410, 604), (520, 578), (590, 600),
                                   (270, 624), (470, 620), (300, 526), (380, 530), (530, 528))):
            for a in range(5):
                an = a * 2 * math.pi / 5 + i
                b.append(circle(x + 4.5 * math.cos(an), y + 4.5 * math.sin(an), 3.6, "", fill(pr)))
            b.append(circle(x, y, 2.4, "", fill("#f2c14e")))
    elif k == 4:
        for x in range(190, 660, 22):
            for y in range(572, 640, 22):
                b.append(path("M%d %d l6 -8 l6 8 l-6 8 Z" % (x + (11 if (y // 22) % 2 else 0), y), "",
                              ' fill="none" stroke="%s" stroke-width="1.4"' % pr))
    elif k == 5:
        for x in range(226, 650, 26):
            b.append('<rect x="%d" y="500" width="11" height="130" fill="%s"/>' % (x, pr))
    elif k == 6:
        b.append(path("M300 560 C310 580 312 600 306 630", "", ' fill="none" stroke="%s" stroke-width="2"' % sh))
        b.append(path("M580 566 C570 580 570 600 576 630", "", ' fill="none" stroke="%s" stroke-width="2"' % sh))
    elif k == 7:
        for y in range(570, 632, 10):
            b.append('<path d="M190 %d H650" fill="none" stroke="%s" stroke-width="1" stroke-dasharray="3 4"/>' %
                     (y, pr))
    # shading that wraps round the sides, under the bust and a soft light
    b.append(path("M198 628 L203 512 C214 540 222 580 226 628 Z", "", fill(sh)))
    b.append(path("M641 512 C628 540 614 580 606 628 L640 628 Z", "", fill(sh)))
    b.append(path("M226 600 C300 586 380 596 455 612 C520 598 580 592 612 598 L612 628 L226 628 Z", "",
                  fill(sh) + ' fill-opacity="0.55"'))
    b.append(path("M250 526 C290 516 330 520 360 532 C330 530 290 530 250 536 Z", "", fill(hi)))
    b.append(path("M500 524 C530 514 560 512 590 514 C560 520 530 526 500 534 Z", "", fill(hi)))
    b.append(path("M455 %s L455 628" % f(neckline(cut, SEAM) + 1), "", ' fill="none" stroke="%s" stroke-width="1.8"' % ol))
    # the bodice is shaped, not a tube: darts up to the bust above the sash,
    # princess seams curving in towards the waist below it, and the cloth
    # beyond them turning away into shade
    seam = ' fill="none" stroke="%s" stroke-width="1.6" stroke-linecap="round"' % sh
    for x0, x1 in ((322, 340), (584, 568)):
        b.append(path("M%d %d L%d %d" % (x0, SASH_TOP, x0 + (4 if x0 < SEAM else -4), SASH_TOP - 16), "", seam))
        b.append(path("M%d 556 C%d 576 %d 600 %d 628" % (x0 - (0 if x0 < SEAM else 8), x0 + (4 if x0 < SEAM else -12),
                                                         x1, x1), "", seam))
    b.append(path("M226 556 L318 556 C322 576 340 600 340 628 L226 628 Z", "", fill(sh) + ' fill-opacity="0.3"'))
    b.append(path("M576 572 C572 590 568 610 568 628 L612 628 L612 572 Z", "", fill(sh) + ' fill-opacity="0.3"'))
    # what lies along each neckline
    if cut == "frill":
        # a deep gathered frill along the straight edge, off the shoulders
        # (the colour pixel, window (210,515), stays on the plain cloth)
        edge = [(x, neckline(cut, x)) for x in range(224, 642, 4)]
        b.append(path(poly(edge + [(x, y + 15 + 3 * math.sin(x / 4.0)) for x, y in edge[::-1]]), "",
                      fill(hi) + ' stroke="%s" stroke-width="1.4" stroke-linejoin="round"' % ol))
        for x in range(228, 640, 7):
            y = neckline(cut, x)
            b.append(path("M%d %s L%d %s" % (x, f(y + 2), x + 1, f(y + 14)), "",
                          ' fill="none" stroke="%s" stroke-width="1.2"' % main))
    elif cut == "sailor":
        # a sailor collar lying on the chest: two navy flaps from the top
        # edge, their lower edges meeting at the foot of the V above the
        # sash, edged with a white stripe; a red scarf knot at the V
        edge = [(x, neckline(cut, x)) for x in range(203, 642, 2)]
        low = [(x, 520 + 18 * (1 - abs(x - SEAM) / (SEAM - 203 if x < SEAM else 641 - SEAM)) ** 1.2)
               for x in range(203, 642, 2)]
        b.append(path(poly(edge + low[::-1]), "", fill(pr) +
                      ' stroke="#101e44" stroke-width="1.8" stroke-linejoin="round"'))
        b.append(path(poly([(x, y - 5) for x, y in low[6:-3]], False), "",
                      ' fill="none" stroke="#ffffff" stroke-width="2.2" stroke-linejoin="round"'))
        red = ' fill="#c82a48" stroke="#5a0c1c" stroke-width="1.8" stroke-linejoin="round"'
        b.append(path("M%d 526 L%d 526 L%d 540 L%d 540 Z" % (SEAM - 12, SEAM + 12, SEAM + 7, SEAM - 7), "", red))
    elif cut == "square":
        # a piped square neck
        edge = [(x, neckline(cut, x)) for x in range(203, 642, 2)]
        b.append(path(poly([(x, y + 4) for x, y in edge[2:-2]], False), "",
                      ' fill="none" stroke="%s" stroke-width="3"' % "#ffffff"))
    elif cut == "asymmetric":
        # a gold edge along the sweep and a jewel where it starts to fall
        edge = [(x, neckline(cut, x) + 4) for x in range(210, 636, 2)]
        b.append(path(poly(edge, False), "", ' fill="none" stroke="%s" stroke-width="2.4"' % tr_sh))
        b.append(path("M360 510 L367 520 L360 530 L353 520 Z", "", fill("#fff1b0") + ' stroke="%s" stroke-width="1.4"' %
                      tr_ol))
    elif cut == "bib":
        # the pinafore's bib, buttoned at its corners
        b.append(path("M%d 506 L%d 540 M%d 506 L%d 540" % (SEAM - 122, SEAM - 116, SEAM + 122, SEAM + 116), "",
                      ' fill="none" stroke="%s" stroke-width="1.6"' % ol))
        for x in (SEAM - 108, SEAM + 108):
            b.append(circle(x, 514, 4.5, "", fill(hi) + ' stroke="%s" stroke-width="1.4"' % ol))
    elif cut in ("sweetheart", "scalloped"):
        # a lace edge along the neckline
        edge = [(x, neckline(cut, x)) for x in range(228, 640, 2)]
        b.append(path(poly([(x, y + 3) for x, y in edge], False), "",
                      ' fill="none" stroke="%s" stroke-width="3.4"' % "#fffaf0"))
    if k == 4:
        # lacing down the front, below the sash
        for i in range(3):
            y = 568 + i * 16
            b.append(path("M447 %d L463 %d M463 %d L447 %d" % (y, y + 12, y, y + 12), "",
                          ' fill="none" stroke="#f4eeff" stroke-width="2.4" stroke-linecap="round"'))
    elif k in (5, 7):
        for i in range(2):
            b.append(circle(455, 574 + i * 22, 4.5, "", fill(hi) + ' stroke="%s" stroke-width="1.4"' % ol))
    b.append('<path d="M-50 -50 H900 V700 H-50 Z %s" fill="#000000" fill-rule="evenodd" comp-op="dst-out"/>' % outline)
    b.append(path(outline, "", ' fill="none" stroke="%s" stroke-width="2.2" stroke-linejoin="round"' % ol))
    # the sash's outline; the build lays the sash itself inside it
    b.append(path(sash_outline(), "", fill(tr) + ' stroke="%s" stroke-width="2.4" stroke-linejoin="round"' % tr_ol))
    b.append('<path d="M-50 -50 H900 V700 H-50 Z %s" fill="#000000" fill-rule="evenodd" comp-op="dst-out"/>' % outline)
    return b


CAMI = ("M196 628 L204 436 C230 428 260 430 290 432 C360 440 420 440 470 436 "
        "C510 432 540 428 570 427 C600 426 622 430 642 434 L640 628 Z")
TOP = ("M200 628 C204 520 208 440 214 400 C216 380 230 368 262 362 C322 356 400 368 455 380 C510 368 570 358 "
       "612 360 C628 362 640 374 644 400 C646 460 642 540 640 628 Z")
# Tops that cover the shoulders: their shoulder parts run up under the hair
# that falls over the shoulders, their necklines open in a V. The sailor
# blouse's V runs down to the scarf's knot above the chest ribbon; the
# yukata's, shallower, to where its two lapels cross.
SAILOR_TOP = ("M200 628 C204 540 208 460 213 412 C215 390 221 368 230 354 L266 352 L455 462 L602 352 L636 352 "
              "C641 368 644 390 645 412 C647 470 643 540 640 628 Z")
YUKATA_TOP = ("M200 628 C204 540 208 460 213 412 C215 386 222 364 236 353 L284 352 L455 452 L590 352 L634 353 "
              "C641 366 644 388 645 412 C647 470 643 540 640 628 Z")
BANDEAU = "M200 628 C204 540 208 470 212 424 C300 414 380 420 455 428 C530 420 590 414 646 420 C646 480 642 560 640 628 Z"

# camisoles and tops: shape, main, shade, light, outline
TOPS = [
    (CAMI, "#f8d8e5", "#e6afc7", "#fff0f6", "#8a4462"),  # lace camisole
    (SAILOR_TOP, "#fbfcff", "#d3dbee", "#ffffff", "#26365e"),  # sailor blouse
    (TOP, "#fff6e6", "#ecd8b8", "#fffdf6", "#7a5a3a"),  # blouse with a ribbon tie
    (YUKATA_TOP, "#3b4f8f", "#263668", "#5c74b8", "#121c3e"),  # yukata
    (BANDEAU, "#e9a2b4", "#c87890", "#f8c8d4", "#6a2a40"),  # off-shoulder knit
    (CAMI, "#3cc2b4", "#1e8378", "#b4f3ea", "#0c4a44"),  # swimsuit top
]


def strap(x0, y0, x1, y1, w, fill, ol):
    """A strap from the top's edge up over the shoulder, outlined, with a
    rounded end."""
    return [path("M%d %d L%d %d" % (x0, y0, x1, y1), "", ' fill="none" stroke="%s" stroke-width="%s" '
                 'stroke-linecap="round"' % (ol, w + 3)),
            path("M%d %d L%d %d" % (x0, y0, x1, y1), "", ' fill="none" stroke="%s" stroke-width="%s" '
                 'stroke-linecap="round"' % (fill, w))]


def camisole_group(k=0):
    shape, main, sh, hi, ol = TOPS[k]
    fill = lambda c: ' fill="%s"' % c
    edge = ' fill="none" stroke="%s" stroke-width="2" stroke-linejoin="round"' % ol
    b = [path(shape, "", fill(main))]
    cut = '<path d="M-50 -50 H900 V700 H-50 Z %s" fill="#000000" fill-rule="evenodd" comp-op="dst-out"/>' % shape
    if k == 3:
        # yukata: a print of white blossoms
        for i, (x, y) in enumerate(((250, 470), (330, 520), (420, 470), (560, 500), (610, 570), (290, 590),
                                   (480, 560), (380, 610), (240, 540), (540, 430))):
            for a in range(5):
                an = a * 2 * math.pi / 5 + i
                b.append(circle(x + 6 * math.cos(an), y + 6 * math.sin(an), 5, "", fill("#f4f0ff")))
            b.append(circle(x, y, 3, "", fill("#f2a3c9")))
    elif k == 4:
        for x in range(206, 650, 10):
            b.append(path("M%d 420 L%d 630" % (x, x), "", ' fill="none" stroke="%s" stroke-width="2"' % sh))
    elif k == 5:
        for y in (520, 540, 560, 580):
            b.append('<rect x="190" y="%d" width="470" height="8" fill="#e4f6f2"/>' % y)
    # shading round the sides and under the chest
    b.append(path("M196 628 L204 420 C216 480 224 560 228 628 Z", "", fill(sh)))
    b.append(path("M646 420 C632 480 620 560 612 628 L640 628 Z", "", fill(sh)))
    b.append(path("M204 560 C280 580 380 590 455 586 C530 590 600 576 640 560 L640 628 L198 628 Z", "",
                  fill(sh) + ' fill-opacity="0.6"'))
    b.append(path("M250 480 C310 490 370 494 420 490 C370 502 310 502 250 494 Z", "", fill(hi)))
    # tops are shaped too: seams from under the bust curving in towards the
    # waist, the cloth beyond them turning away into shade
    seam = ' fill="none" stroke="%s" stroke-width="1.8" stroke-linecap="round"' % sh
    b.append(path("M318 500 C322 540 336 590 344 628", "", seam))
    b.append(path("M588 500 C584 540 570 590 562 628", "", seam))
    b.append(path("M228 540 C270 536 310 530 318 520 C324 560 338 600 344 628 L228 628 Z", "",
                  fill(sh) + ' fill-opacity="0.3"'))
    b.append(path("M612 540 C600 536 592 530 588 520 C584 560 570 600 562 628 L612 628 Z", "",
                  fill(sh) + ' fill-opacity="0.3"'))
    b.append(cut)
    if shape == CAMI:
        # straps over the shoulders, each out to the shoulder's outline (the
        # build cuts it there): the left one under the hanging lock, the right
        # one where the shoulder has sloped down into the picture
        w = 9 if k == 5 else 7
        b += strap(300, 444, 172, 350, w, main, ol)
        b += strap(612, 440, 642, 346, w, main, ol)
    b.append(path(shape, "", edge))
    if k == 0:
        for i in range(22):
            x = 208 + i * 20
            b.append(circle(x, 440 + (0 if x < 470 else -2), 9, "lace lace-ol"))
        b.append(path("M206 440 L642 434 L642 446 L206 452 Z", "lace"))
        b.append(path("M206 440 L642 434", "", ' fill="none" stroke="#b77b95" stroke-width="1.4"'))
        for x in (320, 380, 530, 590):
            b.append(path("M%d 460 C%d 484 %d 504 %d 540" % (x, x + 2, x - 2, x), "", ' fill="none" '
                          'stroke="#e6afc7" stroke-width="2" stroke-linecap="round"'))
        # a lace band under the bust and rosebuds below it: what the browser's
        # thumbnail shows of the top
        b.append(path("M206 546 C300 552 380 556 455 556 C530 556 600 550 638 546 L638 560 C600 564 530 570 455 570 "
                      "C380 570 300 566 206 560 Z", "lace"))
        for i in range(22):
            x = 214 + i * 20
            b.append(circle(x, 566 + 4 * math.sin(math.pi * (x - 204) / 438), 6, "lace lace-ol"))
        b.append(path("M206 546 C300 552 380 556 455 556 C530 556 600 550 638 546", "",
                      ' fill="none" stroke="#b77b95" stroke-width="1.4"'))
        for x in (250, 330, 410, 500, 580):
            b.append(circle(x, 592, 5, "rib rib-ol"))
            b.append(path("M%d 598 L%d 604" % (x - 3, x - 7), "", ' fill="none" stroke="#3f8c3a" stroke-width="2.4"'))
    elif k == 1:
        # a sailor collar lying on the shoulders and the chest: two broad
        # navy lapels along the V, edged with a white stripe, their tops
        # under the hair over the shoulders; a red scarf knotted at the foot
        # of the V, above the chest ribbon, its tails hanging to the hem
        navy = ' fill="#2e4f9a" stroke="#101e44" stroke-width="2" stroke-linejoin="round"'
        stripe = ' fill="none" stroke="#ffffff" stroke-width="3" stroke-linejoin="round"'
        for sg in (-1, 1):
            def px(x):
                return SEAM + sg * (SEAM - x)
            edge = catmull([(214, 404), (250, 428), (330, 466), (410, 496), (455, 500)], False, 6)
            shadow = [(px(x), y) for x, y in edge + [(x, y + 10) for x, y in edge[::-1]]]
            b.append(path(poly(shadow), "", fill(sh)))
            lapel = [(px(264), 353), (SEAM, 463)] + [(px(x), y) for x, y in edge[::-1]] + [(px(216), 380),
                                                                                       (px(230), 354)]
            b.append(path(poly(lapel), "", navy))
            b.append(path(poly([(px(x + 2), y - 8) for x, y in edge[2:-3]], False), "", stripe))
            b.append(path(poly([(px(228), 372), (px(222), 392)], False), "", stripe))
        # the collar turns over the shoulders at the picture's top
        for d in ("M231 354 L264 353 L262 359 L228 360 Z", "M602 353 L636 353 L639 360 L606 359 Z"):
            b.append(path(d, "", fill("#1f3a78")))
        # the scarf: the knot at the foot of the V, the tails under the
        # ribbon's loops and out below them, in the browser's thumbnail
        red = ' fill="#e23a55" stroke="#5a0c1c" stroke-width="1.8" stroke-linejoin="round"'
        b.append(path("M448 470 L424 592 L440 598 L455 520 L470 598 L486 592 L462 470 Z", "", red))
        b.append(path("M455 522 L455 590", "", ' fill="none" stroke="#9e1634" stroke-width="1.6"'))
        b.append(path("M436 452 L474 452 L466 474 L444 474 Z", "", red))
        b.append(path("M444 458 L466 458", "", ' fill="none" stroke="#ff9aaa" stroke-width="2" stroke-linecap="round"'))
        # navy stripes round the hem
        for y in (566, 584):
            b.append('<rect x="207" y="%d" width="433" height="8" fill="#2e4f9a"/>' % y)
    elif k == 2:
        # a round flat collar laid along the whole neckline, its two rounded
        # halves meeting under the ribbon tie
        edge = [(214, 400), (216, 380), (230, 368), (262, 362), (322, 356), (400, 368), (455, 380), (510, 368),
                (570, 358), (612, 360), (628, 362), (640, 374), (644, 400)]
        lobes = [(644, 400), (640, 418), (600, 424), (540, 436), (490, 446), (462, 428), (455, 404), (448, 428),
                 (420, 446), (370, 436), (310, 424), (250, 418), (214, 416)]
        b.append(path(poly(catmull(edge, False, 6) + catmull(lobes, False, 6)), "",
                      fill("#ffffff") + ' stroke="#7a5a3a" stroke-width="1.6" stroke-linejoin="round"'))
        b.append(path(poly(catmull([(p[0], p[1] - 6) for p in lobes[1:6]], False, 6), False), "",
                      ' fill="none" stroke="%s" stroke-width="1.2"' % sh))
        b.append(path(poly(catmull([(p[0], p[1] - 6) for p in lobes[7:12]], False, 6), False), "",
                      ' fill="none" stroke="%s" stroke-width="1.2"' % sh))
        for i in range(4):
            b.append(circle(455, 450 + i * 36, 4, "", fill("#f2e0c0") + ' stroke="#7a5a3a" stroke-width="1.2"'))
        # pin tucks either side of the placket and a ruffled waist
        for x in (420, 432, 478, 490):
            b.append(path("M%d 440 L%d 600" % (x, x), "", ' fill="none" stroke="%s" stroke-width="1.6"' % sh))
        # a frilled waist: what the browser's thumbnail shows of the blouse
        b.append(path("M204 566 L640 566 L640 584 " + " ".join("Q%d %d %d 584" % (x - 7, 596, x - 14)
                                                                for x in range(640, 204, -14)) + " Z", "",
                      fill("#ffffff") + ' stroke="#7a5a3a" stroke-width="1.6" stroke-linejoin="round"'))
        for x in range(211, 640, 14):
            b.append(path("M%d 568 L%d 588" % (x, x), "", ' fill="none" stroke="%s" stroke-width="1.2"' % sh))
        for sg in (-1, 1):
            b.append(path("M455 404 C%d 388 %d 390 %d 406 C%d 420 %d 420 455 404 Z" % (
                455 + sg * 10, 455 + sg * 28, 455 + sg * 28, 455 + sg * 28, 455 + sg * 10), "rib rib-ol"))
            b.append(path("M455 406 L%d 448 L%d 444 L%d 444 Z" % (455 + sg * 18, 455 + sg * 10, 455 + sg * 6),
                          "rib rib-ol"))
        b.append(ellipse(455, 405, 6, 7, "rib rib-ol"))
    elif k == 3:
        # the lapels crossed left over right, as a yukata is worn: the
        # wearer's right panel (the viewer's left) goes under, its collar
        # ending where the two cross; the left panel's collar runs on over it
        # down to the obi. Each collar shows a white under-collar at the neck.
        collar = ' fill="#263668" stroke="#121c3e" stroke-width="1.8" stroke-linejoin="round"'
        under = ' fill="#f4f0ff" stroke="#121c3e" stroke-width="1.2" stroke-linejoin="round"'
        # the under panel's collar, from the left shoulder to the crossing
        b.append(path(poly([(284, 353), (455, 453), (470, 470), (300, 378), (262, 357), (266, 353)]), "", collar))
        b.append(path(poly([(284, 353), (455, 453), (458, 461), (292, 364), (276, 355)]), "", under))
        # the over panel's edge: the right collar runs from the shoulder past
        # the crossing to the obi; the cloth beneath it is the over panel
        b.append(path(poly([(590, 353), (455, 452), (372, 544), (392, 548), (470, 466), (610, 366), (608, 353)]), "",
                      collar))
        b.append(path(poly([(590, 353), (455, 452), (446, 462), (456, 462), (598, 360), (600, 353)]), "", under))
        b.append(path("M394 546 C420 512 446 484 470 466", "", ' fill="none" stroke="#5c74b8" stroke-width="1.6"'))
        # the cloth turns over the shoulders at the picture's top
        for d in ("M237 354 L262 354 L262 359 L232 360 Z", "M610 354 L634 354 L638 360 L612 360 Z"):
            b.append(path(d, "", fill(sh)))
        # the obi: a wide band with a cord, what the browser's thumbnail shows
        b.append(path("M200 540 C300 536 380 540 455 544 C540 540 600 536 646 536 L646 600 L198 600 Z", "",
                      fill("#e8a03a") + ' stroke="#6e4a10" stroke-width="2"'))
        for x in range(214, 640, 26):
            y = 568 + 2 * math.sin(x / 40.0)
            b.append(path("M%d %s l6 -6 l6 6 l-6 6 Z" % (x, f(y)), "", ' fill="#f2c14e" stroke="#c08a22" '
                          'stroke-width="1"'))
        b.append(path("M200 556 C300 552 380 556 455 560 C540 556 600 552 646 552", "",
                      ' fill="none" stroke="#c0303f" stroke-width="4"'))
        b.append(path("M200 586 C300 584 380 586 455 588 C540 586 600 584 646 584", "",
                      ' fill="none" stroke="#c08a22" stroke-width="1.6"'))
        b.append(ellipse(470, 560, 8, 6, "", ' fill="#c0303f" stroke="#5a0c1c" stroke-width="1.4"'))
    elif k == 4:
        # a ribbed band along the top and a little bow
        b.append(path("M212 424 C300 414 380 420 455 428 C530 420 590 414 646 420 L646 440 C590 434 530 440 455 448 "
                      "C380 440 300 434 212 444 Z", "", fill(hi) + ' stroke="%s" stroke-width="1.6"' % ol))
        for x in range(216, 646, 8):
            b.append(path("M%d %d L%d %d" % (x, 424 if x < 455 else 422, x, 442), "",
                          ' fill="none" stroke="%s" stroke-width="1.2"' % sh))
        # two cables knitted down the front
        for cx in (320, 590):
            for y in range(452, 620, 18):
                b.append(path("M%d %d C%d %d %d %d %d %d" % (cx - 10, y, cx - 10, y + 10, cx + 10, y + 8, cx + 10, y + 18),
                              "", ' fill="none" stroke="%s" stroke-width="5" stroke-linecap="round"' % hi))
                b.append(path("M%d %d C%d %d %d %d %d %d" % (cx + 10, y, cx + 10, y + 10, cx - 10, y + 8, cx - 10, y + 18),
                              "", ' fill="none" stroke="%s" stroke-width="5" stroke-linecap="round"' % sh))
            for dx in (-18, 18):
                b.append(path("M%d 450 L%d 620" % (cx + dx, cx + dx), "", ' fill="none" stroke="%s" stroke-width="2"' % sh))
    elif k == 5:
        # a sporty piped edge and a ring at the centre
        b.append(path("M206 440 C300 446 380 446 455 442 C520 438 580 432 642 434", "",
                      ' fill="none" stroke="#e4f6f2" stroke-width="3"'))
        b.append(circle(455, 452, 7, "", fill("none") + ' stroke="#f2c14e" stroke-width="3"'))
    return b


def cord(pts, w, taper):
    """A string of width w along pts (a Catmull-Rom line): full width from the
    bodice, narrowing over its last `taper` points to a point where it turns
    away behind the neck or under the hair."""
    n = len(pts)
    widths = [w] * (n - taper) + [w * (1 - 0.9 * (i + 1) / taper) for i in range(taper)]
    return strand(pts, widths, "", extra=' fill="#000000"')


def strings_group(kind):
    # Pure black strokes: the program paints them in the costume colour. Every
    # string starts on the bodice and keeps clear of the hanging lock; a
    # strap runs up over the left shoulder's top edge, where the build cuts
    # it with the figure's outline, so it ends there in every hair style. The pictures cannot reach the right shoulder, so the single and
    # thick ones are one-shoulder straps; the cross's laces and the W's pair
    # of straps, whose pictures stop below the shoulder's edge, are tied in a
    # bow and meet in a ring on the left shoulder.
    b = []
    if kind in ("single", "thick"):
        w = 7 if kind == "single" else 15
        b.append(strand([(322, 516), (318, 470), (312, 420), (306, 370), (300, 330), (297, 300)], [w] * 6, "",
                        extra=' fill="#000000"'))
    elif kind == "w":
        # two straps from the bodice either side of the left cup, meeting
        # in a ring over the shoulder, and a short loop from the ring over
        # the shoulder's top edge
        for pts in ([(338, 506), (322, 470), (306, 420), (294, 380), (288, 362)],
                    [(390, 506), (362, 470), (330, 420), (306, 380), (292, 362)]):
            b.append(strand(pts, [7] * len(pts), "", extra=' fill="#000000"'))
        b.append('<circle cx="290" cy="362" r="6" fill="none" stroke="#000000" stroke-width="4"/>')
    elif kind == "cross":
        # two laces crossing on the way up and tied in a bow on the
        # shoulder, just clear of the hanging lock
        b.append(strand([(334, 516), (300, 464), (282, 410), (280, 370), (281, 347)], [7] * 5, "",
                        extra=' fill="#000000"'))
        b.append(strand([(250, 516), (296, 462), (292, 410), (286, 370), (283, 347)], [7] * 5, "",
                        extra=' fill="#000000"'))
        loop = ' fill="none" stroke="#000000" stroke-width="3.2"'
        b.append('<ellipse cx="274" cy="342" rx="6" ry="4" transform="rotate(-25 274 342)"%s/>' % loop)
        b.append('<ellipse cx="291" cy="342" rx="6" ry="4" transform="rotate(25 291 342)"%s/>' % loop)
        b.append(circle(282, 345, 4.5, "", ' fill="#000000"'))
    return b


# ---------------------------------------------------------------- accessories

def on_sash(body, cy):
    """A chest ribbon drawn round (SEAM, cy), made smaller and moved down to
    sit on the sash at the centre front: on cloth with every neckline, and
    leaving room on the right for the flower worn on the chest."""
    return '<g transform="translate(%d %d) scale(%s) translate(%d %d)">%s</g>' % (
        SEAM, RIBBON_Y, f(RIBBON_SCALE), -SEAM, -cy, "".join(body))


RIBBON_Y = 529
RIBBON_SCALE = 0.6


def ribbon_group(c="rib"):
    b = []
    cx, cy = SEAM, 515
    # tails, loops, knot
    b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx - 6, cy + 4, cx - 34, cy + 28, cx - 22, cy + 26, cx - 14, cy + 32),
                  "%s %s-ol" % (c, c)))
    b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx + 6, cy + 4, cx + 36, cy + 26, cx + 24, cy + 26, cx + 18, cy + 32),
                  "%s %s-ol" % (c, c)))
    for sg in (-1, 1):
        loop = "M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx, cy, cx + sg * 30, cy - 36, cx + sg * 74, cy - 26, cx + sg * 70, cy, cx + sg * 74, cy + 22,
            cx + sg * 34, cy + 26, cx, cy)
        b.append(path(loop, "%s %s-ol" % (c, c)))
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx + sg * 8, cy + 2, cx + sg * 34, cy + 18, cx + sg * 62, cy + 16, cx + sg * 66, cy + 4,
            cx + sg * 62, cy + 20, cx + sg * 30, cy + 24, cx + sg * 8, cy + 2), c + "-sh"))
        b.append(path("M%d %d C%d %d %d %d %d %d" % (cx + sg * 20, cy - 12, cx + sg * 34, cy - 24, cx + sg * 52,
                                                    cy - 22, cx + sg * 58, cy - 12), c + "-hi-s", ' fill="none" stroke-width="4" '
                      'stroke-linecap="round"'))
    b.append(ellipse(cx, cy + 1, 12, 13, "%s %s-ol" % (c, c)))
    b.append(ellipse(cx - 3, cy - 3, 4, 4, c + "-hi"))
    return b


def ribbon_long_tails():
    """A slim blue bow with pointed loops and two long tails cut in a fork."""
    b = []
    cx, cy = SEAM, 512
    for sg in (-1, 1):
        b.append(path("M%d %d C%d %d %d %d %d %d L%d %d L%d %d C%d %d %d %d %d %d Z" % (
            cx + sg * 4, cy + 6, cx + sg * 12, cy + 20, cx + sg * 22, cy + 32, cx + sg * 32, cy + 38,
            cx + sg * 24, cy + 36, cx + sg * 18, cy + 41, cx + sg * 10, cy + 28, cx + sg * 2, cy + 18, cx, cy + 8),
            "sapph sapph-ol"))
        b.append(path("M%d %d C%d %d %d %d %d %d L%d %d C%d %d %d %d %d %d Z" % (
            cx, cy, cx + sg * 24, cy - 30, cx + sg * 50, cy - 28, cx + sg * 62, cy - 22, cx + sg * 44, cy - 2,
            cx + sg * 58, cy + 16, cx + sg * 30, cy + 16, cx, cy), "sapph sapph-ol"))
        b.append(path("M%d %d C%d %d %d %d %d %d" % (cx + sg * 12, cy - 8, cx + sg * 26, cy - 22, cx + sg * 42,
                                                    cy - 22, cx + sg * 52, cy - 18), "sapph-hi-s",
                      ' fill="none" stroke-width="3" stroke-linecap="round"'))
    b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx - 8, cy - 10, cx + 8, cy - 10, cx + 7, cy + 10, cx - 7, cy + 10),
                  "sapph sapph-ol"))
    b.append(path("M%d %d L%d %d" % (cx - 4, cy - 6, cx - 4, cy + 4), "sapph-hi-s",
                  ' fill="none" stroke-width="2" stroke-linecap="round"'))
    return b


def ribbon_extra(k):
    """The other chest ribbons, centred on the bodice's centre front."""
    b = []
    cx, cy = SEAM, 518
    if k == 2:
        # a bow tie: navy with white dots
        for sg in (-1, 1):
            b.append(path("M%d %d L%d %d C%d %d %d %d %d %d Z" % (cx, cy, cx + sg * 34, cy - 16, cx + sg * 42, cy - 4,
                                                                 cx + sg * 42, cy + 8, cx + sg * 34, cy + 18),
                          "", ' fill="#2e4f9a" stroke="#101e44" stroke-width="2" stroke-linejoin="round"'))
            for dx, dy in ((18, -4), (30, 4), (24, 10), (34, -8)):
                b.append(circle(cx + sg * dx, cy + dy, 2.2, "", ' fill="#ffffff"'))
        b.append('<rect x="%d" y="%d" width="14" height="18" rx="4" fill="#2e4f9a" stroke="#101e44" '
                 'stroke-width="2"/>' % (cx - 7, cy - 8))
    elif k == 3:
        # a sailor scarf: a triangle of red silk with a knot
        b.append(path("M%d %d L%d %d L%d %d Z" % (cx - 60, cy - 28, cx + 60, cy - 28, cx, cy + 6), "",
                      ' fill="#e23a55" stroke="#5a0c1c" stroke-width="2" stroke-linejoin="round"'))
        b.append(path("M%d %d L%d %d" % (cx - 48, cy - 24, cx + 48, cy - 24), "",
                      ' fill="none" stroke="#ffffff" stroke-width="2"'))
        b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx - 4, cy + 4, cx - 20, cy + 30, cx - 8, cy + 32, cx, cy + 14),
                      "", ' fill="#e23a55" stroke="#5a0c1c" stroke-width="1.8"'))
        b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx + 4, cy + 4, cx + 22, cy + 28, cx + 10, cy + 31, cx, cy + 14),
                      "", ' fill="#e23a55" stroke="#5a0c1c" stroke-width="1.8"'))
        b.append(ellipse(cx, cy + 4, 10, 8, "", ' fill="#c8283f" stroke="#5a0c1c" stroke-width="1.8"'))
    elif k == 4:
        # a heart brooch on two short satin tails
        for sg in (-1, 1):
            b.append(path("M%d %d L%d %d L%d %d Z" % (cx, cy, cx + sg * 26, cy + 30, cx + sg * 10, cy + 32), "",
                          ' fill="#f59ac0" stroke="#6a1a3c" stroke-width="1.8"'))
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx, cy + 20, cx - 26, cy + 4, cx - 26, cy - 18, cx - 12, cy - 20, cx - 4, cy - 21, cx, cy - 14, cx, cy - 10,
            cx, cy - 14, cx + 4, cy - 21, cx + 12, cy - 20, cx + 26, cy - 18, cx + 26, cy + 4, cx, cy + 20), "",
            ' fill="#e54a62" stroke="#5a1020" stroke-width="2"'))
        b.append(path("M%d %d C%d %d %d %d %d %d" % (cx - 16, cy - 6, cx - 16, cy - 14, cx - 10, cy - 16, cx - 6, cy - 14),
                      "", ' fill="none" stroke="#ff9aaa" stroke-width="3" stroke-linecap="round"'))
        b.append(circle(cx, cy - 2, 4, "", ' fill="#f2c14e" stroke="#6e4a10" stroke-width="1.2"'))
    elif k == 5:
        # a star brooch on a small blue bow
        for sg in (-1, 1):
            b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
                cx, cy, cx + sg * 20, cy - 22, cx + sg * 48, cy - 16, cx + sg * 46, cy, cx + sg * 48, cy + 16,
                cx + sg * 20, cy + 20, cx, cy), "sapph sapph-ol"))
        b.append(star_path(cx, cy, 20, 8, "#f2c14e", "#6e4a10", 5))
        b.append(circle(cx - 3, cy - 3, 2.5, "", ' fill="#fff1b0"'))
    return b


def flower_group(kind=0):
    # drawn in the picture's own 100 x 120 coordinates, larger, then made
    # smaller round the bloom: it sits low and to the right, so that in the
    # hair it lies below and beside the hairband and on the chest on the
    # sash beside the ribbon
    b = []
    cx, cy = 64, 38
    leafc = ' fill="#6cbf5a" stroke="#24502a" stroke-width="1.6"'
    b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
        cx + 6, cy + 8, cx + 18, cy + 18, cx + 26, cy + 24, cx + 30, cy + 34, cx + 16, cy + 32, cx + 8, cy + 22,
        cx + 6, cy + 8), "", leafc))
    b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
        cx - 6, cy + 8, cx - 20, cy + 16, cx - 34, cy + 20, cx - 44, cy + 22, cx - 36, cy + 10, cx - 20, cy + 6,
        cx - 6, cy + 8), "", leafc))
    if kind == 1:
        # forget-me-nots: three small blue blooms
        for bx, by, r in ((cx - 12, cy + 4, 10), (cx + 12, cy + 8, 10), (cx, cy - 12, 11)):
            for i in range(5):
                a = -math.pi / 2 + i * 2 * math.pi / 5
                b.append(circle(bx + r * 0.62 * math.cos(a), by + r * 0.62 * math.sin(a), r * 0.5, "",
                                ' fill="#8fb8f0" stroke="#2a4a8a" stroke-width="1.4"'))
            b.append(circle(bx, by, r * 0.3, "", ' fill="#ffe36b" stroke="#8a6a10" stroke-width="1"'))
    elif kind == 0:
        petal, petal_sh = ("#ffb3cd", "#f27aa6")
        for i in range(5):
            a = -math.pi / 2 + i * 2 * math.pi / 5
            px, py = cx + 17 * math.cos(a), cy + 17 * math.sin(a)
            rot = math.degrees(a) + 90
            b.append('<ellipse cx="%s" cy="%s" rx="12" ry="17" fill="%s" stroke="#8a2a52" stroke-width="1.8" '
                     'transform="rotate(%s %s %s)"/>' % (f(px), f(py), petal, f(rot), f(px), f(py)))
            b.append('<ellipse cx="%s" cy="%s" rx="5" ry="8" fill="%s" transform="rotate(%s %s %s)"/>' %
                     (f(cx + 11 * math.cos(a)), f(cy + 11 * math.sin(a)), petal_sh, f(rot),
                      f(cx + 11 * math.cos(a)), f(cy + 11 * math.sin(a))))
        c = "gold"
        b.append(circle(cx, cy, 8, "%s %s-ol" % (c, c)))
        b.append(circle(cx - 2, cy - 3, 2.5, c + "-hi"))
    elif kind == 2:
        # a rose: rings of petals round a spiral
        b.append(circle(cx, cy, 27, "", ' fill="#e23a55" stroke="#5a0c1c" stroke-width="2"'))
        for r, c in ((20, "#c8283f"), (13, "#e23a55"), (7, "#c8283f")):
            b.append(path("M%s %s A%d %d 0 1 1 %s %s" % (f(cx - r), f(cy + 2), r, r, f(cx + r * 0.6), f(cy + r * 0.8)),
                          "", ' fill="%s" stroke="#5a0c1c" stroke-width="1.8"' % c))
        b.append(path("M%s %s C%s %s %s %s %s %s" % (f(cx - 16), f(cy - 14), f(cx - 10), f(cy - 20), f(cx - 2),
                                                       f(cy - 22), f(cx + 6), f(cy - 20)), "",
                      ' fill="none" stroke="#ff9aaa" stroke-width="3" stroke-linecap="round"'))
    elif kind == 3:
        # sakura: five notched petals
        for i in range(5):
            a = -math.pi / 2 + i * 2 * math.pi / 5
            rot = math.degrees(a) + 90
            b.append('<path d="M0 0 C-14 -8 -14 -24 -5 -28 L0 -23 L5 -28 C14 -24 14 -8 0 0 Z" fill="#ffd0e0" '
                     'stroke="#b0406a" stroke-width="1.6" transform="translate(%s %s) rotate(%s)"/>' % (
                         f(cx), f(cy), f(rot - 90 + 90)))
        for i in range(5):
            a = -math.pi / 2 + i * 2 * math.pi / 5 + math.pi / 5
            b.append(path("M%s %s L%s %s" % (f(cx), f(cy), f(cx + 10 * math.cos(a)), f(cy + 10 * math.sin(a))), "",
                          ' fill="none" stroke="#e04a80" stroke-width="1.4"'))
        b.append(circle(cx, cy, 4, "", ' fill="#f2c14e" stroke="#8a4a10" stroke-width="1.2"'))
    elif kind == 4:
        # sunflower
        for i in range(14):
            a = i * 2 * math.pi / 14
            rot = math.degrees(a) + 90
            px, py = cx + 20 * math.cos(a), cy + 20 * math.sin(a)
            b.append('<ellipse cx="%s" cy="%s" rx="5.5" ry="11" fill="#ffd23a" stroke="#8a5a10" stroke-width="1.4" '
                     'transform="rotate(%s %s %s)"/>' % (f(px), f(py), f(rot), f(px), f(py)))
        b.append(circle(cx, cy, 13, "", ' fill="#6a3a1a" stroke="#2a1408" stroke-width="1.8"'))
        for i in range(8):
            a = i * 2 * math.pi / 8
            b.append(circle(cx + 7 * math.cos(a), cy + 7 * math.sin(a), 1.6, "", ' fill="#a8662a"'))
    elif kind == 5:
        # a daisy
        # (long, thin petals: a star of rays, not a disc like the rose)
        for i in range(12):
            a = i * 2 * math.pi / 12
            rot = math.degrees(a) + 90
            px, py = cx + 20 * math.cos(a), cy + 20 * math.sin(a)
            b.append('<ellipse cx="%s" cy="%s" rx="5" ry="14" fill="#fefefe" stroke="#8a8a9a" stroke-width="2.4" '
                     'transform="rotate(%s %s %s)"/>' % (f(px), f(py), f(rot), f(px), f(py)))
        b.append(circle(cx, cy, 9, "", ' fill="#ffc83a" stroke="#8a5a10" stroke-width="1.6"'))
    return b


def hairband_group(c="sapph", kind=0):
    # an ornament on the right side of the head, in window coordinates
    b = []
    cx, cy = 520, 48
    if kind == 1:
        # a red polka-dot scrunchie knot with two trailing ends
        for sg in (-1, 1):
            b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx + sg * 4, cy + 8, cx + sg * 14, cy + 46,
                                                            cx + sg * 6, cy + 40, cx, cy + 44), "ruby ruby-ol"))
        for dx, dy, r in ((-18, -6, 15), (16, -8, 15), (-4, -20, 14), (2, 8, 14)):
            b.append(circle(cx + dx, cy + dy, r, "ruby ruby-ol"))
        for dx, dy, r in ((-18, -6, 15), (16, -8, 15), (-4, -20, 14), (2, 8, 14)):
            b.append(circle(cx + dx, cy + dy, r - 2.4, "ruby"))
            b.append(circle(cx + dx - 3, cy + dy - 4, 2.6, "", ' fill="#ffffff"'))
        b.append(circle(cx + 8, cy + 10, 2.4, "", ' fill="#ffffff"'))
        return b
    if kind == 2:
        b.append(star_path(cx, cy, 30, 13, "#f2c14e", "#6e4a10", 5))
        b.append(star_path(cx, cy, 16, 7, "#fff1b0", "#c08a22", 5))
        return b
    if kind == 3:
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx, cy + 28, cx - 34, cy + 6, cx - 34, cy - 26, cx - 16, cy - 28, cx - 6, cy - 29, cx, cy - 20, cx, cy - 14,
            cx, cy - 20, cx + 6, cy - 29, cx + 16, cy - 28, cx + 34, cy - 26, cx + 34, cy + 6, cx, cy + 28), "",
            ' fill="#f59ac0" stroke="#6a1a3c" stroke-width="2"'))
        b.append(path("M%d %d C%d %d %d %d %d %d" % (cx - 22, cy - 6, cx - 22, cy - 16, cx - 14, cy - 20, cx - 8, cy - 18),
                      "", ' fill="none" stroke="#ffd6e6" stroke-width="4" stroke-linecap="round"'))
        return b
    if kind == 4:
        # cherries on a leafy stem
        b.append(path("M%d %d C%d %d %d %d %d %d" % (cx - 14, cy + 14, cx - 10, cy - 10, cx, cy - 24, cx + 10, cy - 30),
                      "", ' fill="none" stroke="#3f6e2a" stroke-width="3" stroke-linecap="round"'))
        b.append(path("M%d %d C%d %d %d %d %d %d" % (cx + 16, cy + 18, cx + 16, cy - 6, cx + 14, cy - 20, cx + 10, cy - 30),
                      "", ' fill="none" stroke="#3f6e2a" stroke-width="3" stroke-linecap="round"'))
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx + 10, cy - 30, cx + 24, cy - 40, cx + 36, cy - 34, cx + 36, cy - 30, cx + 28, cy - 24, cx + 18, cy - 24,
            cx + 10, cy - 30), "leaf leaf-ol"))
        for x, y in ((cx - 14, cy + 24), (cx + 16, cy + 28)):
            b.append(circle(x, y, 13, "ruby ruby-ol"))
            b.append(circle(x - 4, y - 4, 3.5, "ruby-hi"))
        return b
    if kind == 5:
        # a crescent moon with a little star
        b.append(path("M%d %d A30 30 0 1 0 %d %d A24 24 0 1 1 %d %d Z" % (cx + 4, cy - 30, cx + 20, cy + 26,
                                                                          cx + 4, cy - 30), "",
                      ' fill="#fff2b8" stroke="#8a6a20" stroke-width="2"'))
        b.append(star_path(cx + 22, cy - 10, 10, 4, "#f2c14e", "#6e4a10", 5))
        return b
    for sg in (-1, 1):
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx, cy, cx + sg * 16, cy - 34, cx + sg * 36, cy - 30, cx + sg * 35, cy - 4, cx + sg * 36, cy + 22,
            cx + sg * 16, cy + 26, cx, cy), "%s %s-ol" % (c, c)))
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx + sg * 6, cy + 2, cx + sg * 18, cy + 14, cx + sg * 30, cy + 14, cx + sg * 32, cy + 4,
            cx + sg * 31, cy + 18, cx + sg * 16, cy + 20, cx + sg * 6, cy + 2), c + "-sh"))
        b.append(path("M%d %d L%d %d L%d %d Z" % (cx + sg * 4, cy + 6, cx + sg * 20, cy + 44, cx + sg * 8, cy + 40),
                      "%s %s-ol" % (c, c)))
    for i in range(3):
        b.append(circle(cx - 24 + i * 8, cy - 8 + i * 3, 2.5, c + "-hi"))
        b.append(circle(cx + 24 - i * 8, cy - 8 + i * 3, 2.5, c + "-hi"))
    b.append(ellipse(cx, cy, 9, 11, "gold gold-ol"))
    b.append(circle(cx - 2, cy - 3, 3, "gold-hi"))
    return b


def neck_band(top, h, fill, shade, ol):
    """A band round the neck: its ends lie on the neck's outline (the band
    turns away behind it there, in shade) and only its upper and lower edges
    are outlined, so it does not end in a square cut."""
    def left(y):
        return 381 - (y - 276) * 0.15

    def right(y):
        return 480 + (y - 276) * 0.25

    def sag(x):
        return 11 * max(0.0, 1 - ((x - 431) / 52.0) ** 2)

    def band(x0, x1):
        n = 24
        up = [(x0(top) + (x1(top) - x0(top)) * i / n, 0) for i in range(n + 1)]
        up = [(x, top + sag(x)) for x, _ in up]
        lo = [(x0(top + h) + (x1(top + h) - x0(top + h)) * i / n, 0) for i in range(n + 1)]
        lo = [(x, top + h + sag(x)) for x, _ in lo]
        return poly(up + lo[::-1])

    b = [path(band(left, right), "", ' fill="%s"' % fill)]
    # the ends turning away: a strip of shade at each end
    b.append(path(band(left, lambda y: left(y) + 8), "", ' fill="%s"' % shade))
    b.append(path(band(lambda y: right(y) - 10, right), "", ' fill="%s"' % shade))
    for y in (top, top + h):
        n = 24
        pts = [(left(y) + (right(y) - left(y)) * i / n, 0) for i in range(n + 1)]
        b.append(path(poly([(x, y + sag(x)) for x, _ in pts], False), "",
                      ' fill="none" stroke="%s" stroke-width="1.6" stroke-linecap="round"' % ol))
    return b


def choker_group(style=0):
    b = []
    if style == 0:
        b += neck_band(280, 14, "#3a2a4a", "#1f1428", "#120a18")
        b.append(path("M380 284 C410 294 450 294 484 284", "", ' fill="none" stroke="#6a5680" stroke-width="1.6"'))
        b.append(path("M432 300 L432 312", "", ' fill="none" stroke="#c08a22" stroke-width="2.4"'))
        heart = "M432 346 C410 330 404 316 414 310 C422 306 430 310 432 318 C434 310 442 306 450 310 C460 316 454 330 432 346 Z"
        b.append(path(heart, "gold gold-ol"))
        b.append(path("M420 316 C424 312 428 314 428 318", "", ' fill="none" stroke="#fff1b0" stroke-width="2.4" '
                      'stroke-linecap="round"'))
        b.append(circle(432, 304, 5, "gold gold-ol"))
    elif style == 1:
        b += neck_band(278, 18, "#fff8fb", "#e8d2dc", "#b77b95")
        for i in range(9):
            x = 384 + i * 12
            b.append(circle(x, 298 + (2 if 3 <= i <= 5 else 0), 4, "lace lace-ol"))
        b.append(path("M432 302 L432 322", "", ' fill="none" stroke="#9aa3b5" stroke-width="2"'))
        b.append(circle(432, 334, 11, "pearl pearl-ol"))
        b.append(circle(428, 330, 3.5, "silver-hi"))
    elif style == 2:
        # a red ribbon with a golden bell
        b += neck_band(280, 12, "#e54a62", "#a82540", "#5a1020")
        b.append(circle(432, 318, 13, "gold gold-ol"))
        b.append(path("M420 320 L444 320", "", ' fill="none" stroke="#6e4a10" stroke-width="2"'))
        b.append(path("M432 322 L432 330", "", ' fill="none" stroke="#6e4a10" stroke-width="2.4"'))
        b.append(circle(427, 312, 3.5, "gold-hi"))
        b.append(circle(432, 302, 4, "gold gold-ol"))
    elif style == 3:
        # a satin ribbon tied in a bow at the side of the neck
        b += neck_band(282, 10, "#f59ac0", "#d8709a", "#6a1a3c")
        cx, cy = 462, 296
        for sg in (-1, 1):
            b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
                cx, cy, cx + sg * 10, cy - 14, cx + sg * 22, cy - 12, cx + sg * 22, cy, cx + sg * 22, cy + 10,
                cx + sg * 10, cy + 12, cx, cy), "", ' fill="#f59ac0" stroke="#6a1a3c" stroke-width="1.6"'))
            b.append(path("M%d %d L%d %d L%d %d Z" % (cx, cy + 2, cx + sg * 12, cy + 34, cx + sg * 4, cy + 34), "",
                          ' fill="#f59ac0" stroke="#6a1a3c" stroke-width="1.6"'))
        b.append(circle(cx, cy, 5, "", ' fill="#e0709c" stroke="#6a1a3c" stroke-width="1.6"'))
    elif style == 4:
        # a black band with a small bow tie
        b += neck_band(282, 10, "#3a2a4a", "#1f1428", "#120a18")
        cx, cy = 432, 302
        for sg in (-1, 1):
            b.append(path("M%d %d L%d %d L%d %d Z" % (cx, cy, cx + sg * 22, cy - 10, cx + sg * 22, cy + 12), "",
                          ' fill="#e23a55" stroke="#5a0c1c" stroke-width="1.8" stroke-linejoin="round"'))
        b.append('<rect x="%d" y="%d" width="10" height="12" rx="3" fill="#c8283f" stroke="#5a0c1c" '
                 'stroke-width="1.6"/>' % (cx - 5, cy - 6))
    elif style == 5:
        # a chain of silver beads with a star
        for i in range(15):
            t = i / 14
            x = 380 + 104 * t
            y = 284 + 12 * math.sin(math.pi * t)
            b.append(circle(x, y, 3.6, "silver silver-ol"))
        b.append(path("M432 298 L432 308", "", ' fill="none" stroke="#4a5166" stroke-width="2"'))
        b.append(star_path(432, 322, 16, 7, "#d9dee8", "#4a5166", 5))
        b.append(circle(430, 320, 2, "", ' fill="#ffffff"'))  # well inside the star
    return b


EAR_L = (262, 186)
EAR_R = (506, 186)


# The program masks every earring, earring-frame and bracelet cell with the
# first cell's shape. Each jewel here is drawn in its own shape; the build
# gives all five cells the union of the five shapes and fills what a jewel
# leaves bare of it with what lies beneath in the standard portrait. That
# holds where what lies beneath is the same in every view: the studs sit on
# the ear lobes and the bracelets on the arm. An earring hangs from just
# below the stud, so the studs' bare parts never cover one.

JEWELS = [
    # metal, stone, stone shade, stone light, outline
    ("#f2c14e", "#f2c14e", "#c08a22", "#fff1b0", "#6e4a10"),  # gold, a faceted drop
    ("#d9dee8", "#fbf6f0", "#e2cfd0", "#ffffff", "#7a6a70"),  # silver, a pearl
    ("#f2c14e", "#e23a55", "#9e1634", "#ff9aaa", "#5a0c1c"),  # gold, a ruby heart
    ("#d9dee8", "#3f7fe0", "#1f4aa0", "#a9d0ff", "#10275a"),  # silver, a ring of sapphires
    ("#d9dee8", "#c9ccf0", "#8f86c8", "#ffffff", "#3a3566"),  # silver, a star
]


def heart_path(x, top, w, h):
    """A heart whose top notch is at (x, top), w wide and h tall."""
    hw = w / 2.0
    return ("M%s %s C%s %s %s %s %s %s C%s %s %s %s %s %s C%s %s %s %s %s %s C%s %s %s %s %s %s Z" % tuple(
        f(v) for v in (x, top + h * 0.25, x - hw * 0.2, top - h * 0.05, x - hw, top - h * 0.05, x - hw, top + h * 0.3,
                       x - hw, top + h * 0.6, x - hw * 0.3, top + h * 0.8, x, top + h,
                       x + hw * 0.3, top + h * 0.8, x + hw, top + h * 0.6, x + hw, top + h * 0.3,
                       x + hw, top - h * 0.05, x + hw * 0.2, top - h * 0.05, x, top + h * 0.25)))


def earring_pair(k):
    """Drops hanging from just below the studs. Earrings hang over the hair
    or the scene, which differ from style to style, so all five share one
    outline, a drop-shaped setting (what the program's mask lets through),
    and differ in the stone set in it: a faceted drop, a round pearl, a
    heart, a ring of small stones, a star."""
    metal, stone, shade, light, ol = JEWELS[k]
    setting = ' fill="%s" stroke="%s" stroke-width="1.8"' % (metal, ol)
    b = []
    for (x, y0) in (EAR_L, EAR_R):
        y = 197  # just below the stud
        b.append(circle(x, y + 3, 3.5, "", setting))
        drop = "M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            x, y + 7, x + 12, y + 19, x + 11, y + 39, x, y + 39, x - 11, y + 39, x - 12, y + 19, x, y + 7)
        b.append(path(drop, "", setting))
        st = ' fill="%s" stroke="%s" stroke-width="1.2"' % (stone, ol)
        if k == 0:
            b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
                x, y + 14, x + 7, y + 22, x + 7, y + 34, x, y + 34, x - 7, y + 34, x - 7, y + 22, x, y + 14), "",
                ' fill="%s" stroke="%s" stroke-width="1.2"' % (shade, ol)))
            b.append(path("M%d %d L%d %d L%d %d Z" % (x, y + 16, x + 5, y + 30, x - 5, y + 30), "", ' fill="%s"' % light))
        elif k == 1:
            b.append(circle(x, y + 26, 8.5, "", st))
            b.append(circle(x + 2, y + 28, 5, "", ' fill="%s"' % shade))
            b.append(circle(x - 3, y + 23, 2.4, "", ' fill="#ffffff"'))
        elif k == 2:
            b.append(path(heart_path(x, y + 18, 16, 16), "", st))
            b.append(ellipse(x - 4, y + 21, 2, 2.5, "", ' fill="%s"' % light))
        elif k == 3:
            for i in range(6):
                a = i * math.pi / 3
                b.append(circle(x + 5.5 * math.sin(a), y + 27 - 5.5 * math.cos(a), 2.6, "", st))
        else:
            b.append(star_path(x, y + 27, 9, 4.2, stone, ol, 5))
            b.append(circle(x - 1.5, y + 25, 1.4, "", ' fill="#ffffff"'))
    return b


STUDS = [("#f2c14e", "#c08a22", "#6e4a10"), ("#d9dee8", "#9aa3b5", "#4a5166"), ("#e23a55", "#9e1634", "#5a0c1c"),
         ("#3cc2b4", "#1e8378", "#0c4a44"), ("#f59ac0", "#d0588a", "#6a1a3c")]


def earframe_pair(k):
    """Ear studs on the lobes, each in a shape of its own: a ball, a square
    stone, a flower, a triangle and a heart."""
    fill, shade, ol = STUDS[k]
    style = ' fill="%s" stroke="%s" stroke-width="1.6" stroke-linejoin="round"' % (fill, ol)
    b = []
    for (x, y) in (EAR_L, EAR_R):
        y += 4
        if k == 0:
            b.append(circle(x, y, 6, "", style))
            b.append(path("M%d %d A5 5 0 0 0 %d %d" % (x - 4, y + 2, x + 4, y + 2), "",
                          ' fill="none" stroke="%s" stroke-width="2"' % shade))
        elif k == 1:
            b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (x, y - 8, x + 8, y, x, y + 8, x - 8, y), "", style))
            b.append(path("M%d %d L%d %d L%d %d Z" % (x, y + 6, x + 6, y, x - 6, y), "", ' fill="%s"' % shade))
        elif k == 2:
            for i in range(5):
                a = i * 2 * math.pi / 5 - math.pi / 2
                b.append(circle(x + 4.6 * math.cos(a), y + 4.6 * math.sin(a), 3.6, "", style))
            b.append(circle(x, y, 2.6, "", ' fill="#f2c14e"'))
        elif k == 3:
            b.append(path("M%d %d L%d %d L%d %d Z" % (x - 8, y - 6, x + 8, y - 6, x, y + 8), "", style))
            b.append(path("M%d %d L%d %d L%d %d Z" % (x + 1, y - 3, x + 5, y - 3, x + 1, y + 4), "",
                          ' fill="%s"' % shade))
        else:
            b.append(path(heart_path(x, y - 5, 16, 14), "", style))
            b.append(path(heart_path(x + 3, y - 1, 5, 6), "", ' fill="%s"' % shade))
        b.append(circle(x - 2, y - 3, 1.4, "", ' fill="#ffffff"'))
    return b


BEADS = [("#f2c14e", "#c08a22", "#6e4a10", "#f2c14e"), ("#fbf6f0", "#e2d4cc", "#8c7a70", "#d9dee8"),
         ("#e23a55", "#9e1634", "#5a0c1c", "#f2c14e"), ("#3cc2b4", "#1e8378", "#0c4a44", "#d9dee8"),
         ("#d9dee8", "#9aa3b5", "#4a5166", "#3f7fe0")]


def bracelet(k):
    """Round the right wrist, a tilted ellipse across the forearm whose back
    half lies behind the wrist: gold beads with a heart, a pearl strand, ruby
    links with a drop, a solid bangle, a fine chain with a star."""
    fill, shade, ol, charm = BEADS[k]
    b = []
    cx, cy = WRIST
    rx, ry, tilt = WRIST_HALF - 1, 6, math.radians(WRIST_DIR - 90)
    ca, sa = math.cos(tilt), math.sin(tilt)

    def at(t):
        ex, ey = rx * math.cos(t), ry * math.sin(t)
        return cx + ex * ca - ey * sa, cy + ex * sa + ey * ca

    front = [at(math.pi * i / 24) for i in range(25)]
    hx, hy = at(math.pi / 2)
    hx, hy = int(round(hx)), int(round(hy))
    if k in (0, 1):
        b.append(path(poly(front, False), "", ' fill="none" stroke="%s" stroke-width="2.4"' % ol))
        n, r = (6, 4.6) if k == 0 else (5, 5.4)
        for i in range(n):
            x, y = at(math.pi * (0.14 + 0.76 * i / (n - 1)))
            b.append(circle(x, y, r, "", ' fill="%s" stroke="%s" stroke-width="1.5"' % (fill, ol)))
            b.append(circle(x + 1.4, y + 1.4, r / 2, "", ' fill="%s"' % shade))
            b.append(circle(x - 1.8, y - 1.8, 1.5, "", ' fill="#ffffff"'))
        if k == 0:
            b.append(path(heart_path(hx, hy + 4, 18, 12), "", ' fill="%s" stroke="%s" stroke-width="1.5"' % (charm, ol)))
            b.append(circle(hx - 3, hy + 7, 1.3, "", ' fill="#ffffff"'))
    elif k == 2:
        # chain links, alternately flat and edge on, and a drop
        for i in range(6):
            t = math.pi * (0.18 + 0.7 * i / 5)
            x, y = at(t)
            rot = math.degrees(math.atan2(math.cos(t) * ry * ca + math.sin(t) * rx * sa,
                                          -math.sin(t) * rx * ca - math.cos(t) * ry * sa))
            w, h = (6, 3.6) if i % 2 == 0 else (6, 1.6)
            b.append(ellipse(0, 0, w, h, "", ' fill="none" stroke="%s" stroke-width="3.6" transform="translate(%s %s) '
                             'rotate(%s)"' % (ol, f(x), f(y), f(rot))))
            b.append(ellipse(0, 0, w, h, "", ' fill="none" stroke="%s" stroke-width="1.8" transform="translate(%s %s) '
                             'rotate(%s)"' % (fill, f(x), f(y), f(rot))))
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            hx, hy + 3, hx + 6, hy + 9, hx + 6, hy + 16, hx, hy + 16, hx - 6, hy + 16, hx - 6, hy + 9, hx, hy + 3), "",
            ' fill="%s" stroke="%s" stroke-width="1.5"' % (charm, ol)))
    elif k == 3:
        # a solid bangle with a band of light
        # (its ends stop short of the arm's outline)
        band = front[3:-2]
        b.append(path(poly(band, False), "", ' fill="none" stroke="%s" stroke-width="10"' % ol))
        b.append(path(poly(band, False), "", ' fill="none" stroke="%s" stroke-width="6.8"' % fill))
        b.append(path(poly(front[4:21], False), "", ' fill="none" stroke="%s" stroke-width="2" stroke-linecap="round"'
                      % charm))
    else:
        # a fine chain and a star
        b.append(path(poly(front, False), "", ' fill="none" stroke="%s" stroke-width="3.6"' % ol))
        b.append(path(poly(front, False), "", ' fill="none" stroke="%s" stroke-width="1.6" stroke-dasharray="2 1.5"'
                      % fill))
        b.append(star_path(hx, hy + 6, 8, 3.6, charm, ol, 5))
    return b


# ---------------------------------------------------------------- scenes

def strawberry(x, y, s=1.0, rot=0):
    return ('<use xlink:href="#berry" transform="translate(%s %s) rotate(%s) scale(%s)"/>' % (f(x), f(y), f(rot),
                                                                                              f(s)))


def strawberry_scene(alt):
    b = []
    bg = "#ffe3ea" if alt == 0 else "#e4f6e6"
    dot = "#ffc7d5" if alt == 0 else "#c5ecca"
    b.append('<rect x="0" y="0" width="800" height="600" fill="%s"/>' % bg)
    for j in range(0, 13):
        for i in range(0, 17):
            x = i * 50 + (25 if j % 2 else 0)
            y = j * 50
            b.append(circle(x, y, 6, "", ' fill="%s"' % dot))
    k = 0
    for j in range(0, 7):
        for i in range(0, 9):
            x = i * 100 + (50 if j % 2 else 0) + (0 if alt == 0 else 25)
            y = j * 100 + 30 + (0 if alt == 0 else 40)
            rot = ((i * 37 + j * 53) % 50) - 25
            b.append(strawberry(x, y, 0.9 + 0.2 * ((i + j) % 3) / 2, rot))
            k += 1
    for j in range(0, 7):
        for i in range(0, 9):
            x = i * 100 + 50 + (50 if j % 2 else 0)
            y = j * 100 + 80
            b.append('<use xlink:href="#blossom" transform="translate(%d %d)"/>' % (x, y))
    return b


# A tile is 75 x 75 and the program stretches it nearest-neighbour to the
# whole 800 x 300 picture: every tile pixel becomes a block of about 10.7 x 4
# window pixels. The tiles are therefore drawn as pixels, not as shapes: each
# motif is a shape in window units, sampled once per tile pixel at the block's
# centre, so its edges are hard steps and no in-between colour appears.
TILE = 75
SX = 800.0 / TILE  # window pixels per tile column
SY = 4.0           # window pixels per tile row


class Tile:
    def __init__(self, sky):
        self.px = [[sky] * TILE for _ in range(TILE)]

    def bands(self, colours):
        """Horizontal bands, mirrored round the middle row: colours[0] at the
        top and the bottom edge, the last colour across the middle. The top and
        the bottom match, so the upper picture runs on into the lower one."""
        n = len(colours)
        for r in range(TILE):
            d = abs(r - (TILE - 1) / 2) / ((TILE - 1) / 2)  # 1 at the edges, 0 in the middle
            k = min(n - 1, int((1 - d) * n))
            self.px[r] = [colours[k]] * TILE

    def stamp(self, cx, cy, inside, colour):
        """Paints every tile pixel whose block centre lies inside the shape;
        (cx, cy) is the motif's centre in window pixels of the upper picture,
        inside(dx, dy) a test in window pixels about that centre."""
        for r in range(TILE):
            for c in range(TILE):
                dx = (c + 0.5) * SX - cx
                dy = (r + 0.5) * SY - cy
                if abs(dx) < 140 and abs(dy) < 140 and inside(dx, dy):
                    self.px[r][c] = colour

    def rects(self, y0):
        out = []
        for r in range(TILE):
            row = self.px[r]
            c = 0
            while c < TILE:
                e = c
                while e + 1 < TILE and row[e + 1] == row[c]:
                    e += 1
                out.append('<rect x="%d" y="%d" width="%d" height="1" fill="%s"/>' % (c, y0 + r, e - c + 1, row[c]))
                c = e + 1
        return out


def in_poly(pts):
    def inside(x, y):
        hit = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def in_ellipse(ex, ey, rx, ry, rot=0.0):
    ca, sa = math.cos(math.radians(rot)), math.sin(math.radians(rot))

    def inside(x, y):
        u, v = x - ex, y - ey
        u, v = u * ca + v * sa, -u * sa + v * ca
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1
    return inside


def any_of(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def but_not(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def star_shape(r1, r2, n=5, rot=0.0):
    pts = []
    for k in range(2 * n):
        a = math.radians(rot) - math.pi / 2 + k * math.pi / n
        r = r1 if k % 2 == 0 else r2
        pts.append((r * math.cos(a), r * math.sin(a)))
    return in_poly(pts)


def rot_rect(w, h, a):
    ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
    return in_poly([(ca * px - sa * py, sa * px + ca * py)
                    for px, py in ((-w / 2, -h / 2), (w / 2, -h / 2), (w / 2, h / 2), (-w / 2, h / 2))])


def heart_shape(s):
    def inside(x, y):
        u, v = x / s, -y / s + 0.25
        return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0
    return inside


def cloud_shape(w):
    k = w / 110.0
    return any_of(in_ellipse(-30 * k, 4 * k, 26 * k, 20 * k), in_ellipse(2 * k, -8 * k, 30 * k, 26 * k),
                  in_ellipse(32 * k, 4 * k, 24 * k, 19 * k), in_poly([(-55 * k, 6 * k), (55 * k, 6 * k),
                                                                      (55 * k, 22 * k), (-55 * k, 22 * k)]))


def cloud(t, cx, cy, w, light, shade):
    body = cloud_shape(w)
    t.stamp(cx, cy, body, light)
    t.stamp(cx, cy, lambda x, y: body(x, y) and y > 12 * w / 110.0, shade)


def flower5(t, cx, cy, r, petal, middle, rot=0.0):
    for k in range(5):
        a = math.radians(rot + 72 * k - 90)
        t.stamp(cx, cy, in_ellipse(r * 0.55 * math.cos(a), r * 0.55 * math.sin(a), r * 0.5, r * 0.36, rot + 72 * k - 90),
                petal)
    t.stamp(cx, cy, in_ellipse(0, 0, r * 0.3, r * 0.3), middle)


SCENE_KINDS = ["day", "sunset", "blossom", "mint", "lavender", "confetti", "night", "lemon", "peach", "sea"]

# The night tile's sky: flat, and the same colour as the night picture's sky.
NIGHT_SKY = "#1c2450"


def scene_tiles():
    """Ten 75 x 75 tiles, one after the other. Each is a wallpaper: its
    motifs repeat in staggered rows across the whole width, so the scene
    reads as a pattern wherever the figure stands and whatever it leaves
    bare when it moves aside; the tile also fills the lower picture, where
    the same rows show once more."""
    b = []
    # motif centres in window pixels: four rows 75 pixels apart, each row's
    # motifs 160 pixels apart and shifted by half a step from the row above;
    # the rows run on from the upper picture into the lower one
    spots = [(x + (80 if r % 2 else 0), 37 + 75 * r) for r in range(4) for x in range(40, 800, 160)]
    for i, kind in enumerate(SCENE_KINDS):
        if kind == "day":
            t = Tile("#7cc6ee")
            t.bands(["#7cc6ee", "#8fd0f2", "#a3daf5", "#b8e3f8"])
            for n, (x, y) in enumerate(spots):
                cloud(t, x, y, 84 if n % 2 else 96, "#ffffff", "#d6ecf8")
        elif kind == "sunset":
            t = Tile("#f39a78")
            t.bands(["#f08a7e", "#f39a78", "#f6ad74", "#f9c27a"])
            for n, (x, y) in enumerate(spots):
                # clouds lit from below by the low sun
                cloud(t, x, y, 92 if n % 2 else 80, "#e98a9c" if n % 2 else "#f4a0a0", "#fbd3a0")
        elif kind == "blossom":
            t = Tile("#fbd7e4")
            t.bands(["#f9cadb", "#fbd7e4", "#fde3ec", "#feeef3"])
            for n, (x, y) in enumerate(spots):
                flower5(t, x, y - 6, 40, "#f28bb0" if n % 2 else "#f6a8c4", "#fff2a0", rot=n * 23)
                t.stamp(x + (38 if n % 2 else -40), y + 44, in_ellipse(0, 0, 34, 12, 20 if n % 2 else -20), "#fbb8cf")
        elif kind == "mint":
            t = Tile("#bfe9d4")
            t.bands(["#b2e3cb", "#bfe9d4", "#ccefdd", "#d9f4e6"])
            # polka dots in two colours, staggered; the rows repeat every 75
            # window pixels, across the join of the upper and lower picture too
            for n, (x, y) in enumerate(spots):
                t.stamp(x, y, in_ellipse(0, 0, 30, 26), "#ffffff" if (y // 75) % 2 else "#8fd3b2")
        elif kind == "lavender":
            t = Tile("#d2bff0")
            t.bands(["#c8b2ec", "#d2bff0", "#dccbf4", "#e6d8f7"])
            for n, (x, y) in enumerate(spots):
                s = 30 if n % 2 else 36
                t.stamp(x, y, heart_shape(s), "#f08fbf" if n % 2 else "#fbb3d3")
                t.stamp(x, y, lambda u, v, s=s: heart_shape(s)(u, v) and (u / s + 0.35) ** 2 + (v / s + 0.35) ** 2 <
                        0.09, "#fde1ee")
        elif kind == "confetti":
            t = Tile("#cfe6ff")
            t.bands(["#c4e0ff", "#cfe6ff", "#daecff", "#e5f2ff"])
            colours = ["#f47a7a", "#f7c46a", "#8fd27a", "#7ab4f0", "#c58be8"]
            shapes = [in_ellipse(0, 0, 30, 30), star_shape(32, 16, 4), in_poly([(-34, -8), (34, -8), (34, 8), (-34, 8)]),
                      in_poly([(0, -34), (32, 26), (-32, 26)])]
            for n, (x, y) in enumerate(spots):
                t.stamp(x, y, shapes[n % len(shapes)], colours[n % len(colours)])
        elif kind == "night":
            t = Tile(NIGHT_SKY)
            # bright stars in the night picture's colours at the right and
            # under the figure, faint sparkles at the left (where the night
            # picture and its twinkling star lie when the figure moves aside)
            for n, (x, y) in enumerate(spots):
                if n % 3 == 0:
                    t.stamp(x, y, star_shape(33, 10, 4), "#c9a84a")
                    t.stamp(x, y, star_shape(25, 7, 4), "#fff6c4")
                else:
                    t.stamp(x - 16, y + 8, star_shape(22, 6, 4), "#8f96d0")
        elif kind == "lemon":
            t = Tile("#fff0a6")
            t.bands(["#ffe98c", "#fff0a6", "#fff5c0", "#fffad8"])
            for n, (x, y) in enumerate(spots):
                rot = -20 if n % 2 else 15
                t.stamp(x, y, any_of(in_ellipse(0, 0, 38, 26, rot), in_ellipse(40 * math.cos(math.radians(rot)),
                                                                            40 * math.sin(math.radians(rot)), 9, 8)),
                        "#f5c928")
                t.stamp(x, y, in_ellipse(-10, -8, 18, 9, rot), "#fbe27a")
                t.stamp(x - 22, y - 28, in_ellipse(0, 0, 24, 9, -30), "#6cbf5a")
        elif kind == "peach":
            t = Tile("#ffd3b6")
            t.bands(["#ffc8a6", "#ffd3b6", "#ffdec6", "#ffe8d6"])
            colours = ["#e8743a", "#d9a032", "#c8502a"]
            for n, (x, y) in enumerate(spots):
                a = -35 + (n * 53) % 70
                c = colours[n % 3]
                t.stamp(x, y, in_ellipse(0, 0, 38, 20, a), c)
                t.stamp(x, y, rot_rect(88, 6, a), "#8a3a10")
        elif kind == "sea":
            t = Tile("#9fe0e6")
            t.bands(["#8fd6e2", "#9fe0e6", "#b2e8ea", "#c6f0ee"])
            for n, (x, y) in enumerate(spots):
                if n % 2 == 0:
                    # a bubble: a ring with a light
                    t.stamp(x, y, but_not(in_ellipse(0, 0, 34, 34), in_ellipse(0, 0, 22, 24)), "#ffffff")
                    t.stamp(x, y, in_ellipse(-8, -10, 10, 6), "#ffffff")
                else:
                    t.stamp(x, y, star_shape(40, 18, 5, 10), "#f58f7c")
                    t.stamp(x, y, star_shape(16, 8, 5, 10), "#fbc3a8")
        b.extend(t.rects(TILE * i))
    return b


def night_background():
    # 220 x 300, white is transparent: a crescent moon, soft clouds and stars
    b = []
    crescent = "M112 112 A44 44 0 1 0 126 176 A40 40 0 1 1 112 112 Z"
    b.append(path(crescent, "", ' fill="#fff2b8" stroke="#c9a84a" stroke-width="2"'))
    b.append(path("M20 250 C30 230 60 228 72 240 C84 222 118 222 130 242 C150 236 170 246 168 262 L22 262 Z",
                  "", ' fill="#5a6494" stroke="#39406a" stroke-width="2"'))
    b.append(path("M110 60 C118 48 138 48 146 58 C158 50 178 56 176 70 L108 70 Z", "",
                  ' fill="#4a5384" stroke="#39406a" stroke-width="2"'))
    for (x, y, r) in ((30, 40, 4), (180, 110, 3), (150, 190, 4), (40, 120, 3), (196, 30, 4), (70, 290, 3),
                      (190, 280, 3)):
        b.append(star_path(x, y, r * 2.2, r * 0.8, "#fff6c4", "#c9a84a"))
    return b


def star_path(x, y, r1, r2, fill, stroke, n=4):
    pts = []
    for i in range(2 * n):
        a = -math.pi / 2 + i * math.pi / n
        r = r1 if i % 2 == 0 else r2
        pts.append((x + r * math.cos(a), y + r * math.sin(a)))
    return path(poly(pts), "", ' fill="%s" stroke="%s" stroke-width="1.4"' % (fill, stroke))


def star_cells():
    b = []
    sizes = [14, 24, 34, 24, 14]
    for i, s in enumerate(sizes):
        y0 = 100 * i
        b.append(star_path(60, y0 + 50, s, s * 0.28, "#fff6c4", "#c9a84a"))
        b.append(circle(60, y0 + 50, s * 0.22, "", ' fill="#ffffff"'))
        if s > 20:
            b.append(star_path(22, y0 + 22, s * 0.3, s * 0.1, "#fff6c4", "#c9a84a"))
            b.append(star_path(100, y0 + 80, s * 0.25, s * 0.09, "#fff6c4", "#c9a84a"))
    return b


def shooting_star():
    b = []
    b.append(strand([(98, 2), (64, 38), (28, 76)], [0, 8, 16], "", extra=' fill="#a9ccff" stroke="#7aa6e6" '
                    'stroke-width="1.2"'))
    b.append(strand([(90, 12), (60, 42), (30, 74)], [0, 4, 8], "", extra=' fill="#eaf3ff"'))
    b.append(star_path(24, 76, 18, 6, "#fff6c4", "#c9a84a", 5))
    b.append(circle(24, 76, 4, "", ' fill="#ffffff"'))
    return b


def logo_group():
    b = []
    b.append('<rect x="0" y="0" width="260" height="120" fill="#ffe3ea"/>')
    b.append('<rect x="4" y="4" width="252" height="112" rx="15" fill="none" stroke="#e4579b" stroke-width="4"/>')
    b.append(path("M236 34 C222 24 219 14 226 11 C230 9 234 11 236 15 C238 11 242 9 246 11 C253 14 250 24 236 34 Z",
                  "", ' fill="#e54a62" stroke="#5a1020" stroke-width="2"'))
    b.append('<text x="126" y="68" text-anchor="middle" font-family="DejaVu Sans" font-weight="bold" '
             'font-size="32" fill="#8a2a52">VelmiaAlive</text>')
    b.append('<text id="logo-version" x="130" y="98" text-anchor="middle" font-family="DejaVu Sans" '
             'font-size="18" fill="#4b74bf">version @VERSION@</text>')
    return b


# ---------------------------------------------------------------- document

def main():
    emit('<?xml version="1.0" encoding="UTF-8"?>')
    emit('<!-- Velmia default artwork: master drawing. Written by draw_master.py; -->')
    emit('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
         'width="800" height="600" viewBox="0 0 800 600">')
    emit('<style type="text/css">%s</style>' % CSS)
    emit('<defs>')
    # strawberry and blossom motifs of scene 0
    emit('<g id="berry"><path d="M0 -16 C14 -16 20 -6 16 6 C12 16 4 22 0 24 C-4 22 -12 16 -16 6 C-20 -6 -14 -16 0 '
         '-16 Z" fill="#ec3f57" stroke="#8e1a2e" stroke-width="2"/>'
         '<path d="M-10 -6 C-8 4 -4 12 0 16 C-6 14 -12 6 -12 -2 Z" fill="#c22a44"/>'
         '<circle cx="-6" cy="-4" r="1.5" fill="#ffe08a"/><circle cx="4" cy="-6" r="1.5" fill="#ffe08a"/>'
         '<circle cx="8" cy="4" r="1.5" fill="#ffe08a"/><circle cx="-2" cy="6" r="1.5" fill="#ffe08a"/>'
         '<circle cx="-8" cy="10" r="1.2" fill="#ffe08a"/><circle cx="3" cy="14" r="1.2" fill="#ffe08a"/>'
         '<ellipse cx="-6" cy="-8" rx="3" ry="2" fill="#ff9aaa"/>'
         '<path d="M0 -16 L-12 -20 L-6 -14 L-14 -12 L-4 -12 L0 -8 L4 -12 L14 -12 L6 -14 L12 -20 Z" fill="#5cb85a" '
         'stroke="#2f6e34" stroke-width="1.4"/><path d="M0 -16 L0 -24" stroke="#2f6e34" stroke-width="2.4"/></g>')
    emit('<g id="blossom">' + "".join(
        '<circle cx="%s" cy="%s" r="5" fill="#ffffff" stroke="#f3a3ba" stroke-width="1.2"/>' %
        (f(8 * math.cos(a)), f(8 * math.sin(a))) for a in [i * 2 * math.pi / 5 for i in range(5)]) +
         '<circle cx="0" cy="0" r="3.5" fill="#ffd45e"/></g>')
    emit('</defs>')

    group("figure", figure_group())
    group("figure-arm", arm_group())
    group("head-back", head_back_group())
    group("head", head_group())
    for k in EYES:
        group("eyes-%d" % k, eyes_group(k))
        group("brows-%d" % k, brows_group(k))
    group("eyes-closed", closed_eyes_group())
    group("hair-main", main_hair_group())
    group("hair-side", side_group())
    group("hair-sub", sub_hair_group())
    group("hair-front", front_group(False))
    group("hair-front-long", front_group(True))
    group("hair-front-long-over", front_long_over_group())
    group("hair-longleft", longleft_group())
    group("hair-tip", tip_group())
    group("fringe-shadow", fringe_shadow_group(False))
    group("fringe-shadow-long", fringe_shadow_group(True))
    group("fringe", fringe_group(False))
    group("fringe-long", fringe_group(True))
    group("hair-shaggy", shaggy_group())
    group("hair-pank", pank_group())
    group("hair-otohime", otohime_group())
    group("hair-otohime-front", otohime_front_group())
    for k in range(len(COSTUMES)):
        group(costume_name(k), costume_group(k))
        group(costume_name(k) + "-trim", costume_trim(k))
    group("costume-hem", trim_group())
    for k in range(len(TOPS)):
        group("camisole" if k == 0 else "camisole-%d" % (k + 1), camisole_group(k))
    for kind in ("single", "thick", "w", "cross"):
        group("strings-" + kind, strings_group(kind))
    group("ribbon", on_sash(ribbon_group(), 515))
    group("ribbon-2", on_sash(ribbon_long_tails(), 518))
    for k in range(3, 7):
        group("ribbon-%d" % k, on_sash(ribbon_extra(k - 1), 518))
    for k in range(6):
        group("flower" if k == 0 else "flower-%d" % (k + 1),
              '<g transform="translate(78 96) scale(0.58) translate(-64 -38)">%s</g>' % "".join(flower_group(k)))
    group("hairband", hairband_group())
    group("hairband-2", hairband_group(kind=1))
    for k in range(3, 7):
        group("hairband-%d" % k, hairband_group(kind=k - 1))
    for k in range(6):
        group("choker" if k == 0 else "choker-%d" % (k + 1), choker_group(k))
    for k in range(5):
        group("earrings-%d" % k, earring_pair(k))
        group("earframe-%d" % k, earframe_pair(k))
        group("bracelet-%d" % k, bracelet(k))
    group("strawberry-a", strawberry_scene(0))
    group("strawberry-b", strawberry_scene(1))
    group("scene-tiles", scene_tiles())
    group("night-background", night_background())
    group("stars", star_cells())
    group("streaming", shooting_star())
    group("logo", logo_group())
    emit('</svg>')
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "velmia.svg")
    if len(sys.argv) > 1:
        out = sys.argv[1]
    with open(out, "w") as fh:
        fh.write("\n".join(OUT) + "\n")


if __name__ == "__main__":
    main()
