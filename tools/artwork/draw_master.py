#!/usr/bin/env python3
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
.skin{fill:#fde4d3}.skin-sh{fill:#f4c0a8}.skin-sh2{fill:#e9a48c}.skin-ol{stroke:#7a3c30;stroke-width:2.2;stroke-linejoin:round}
.skin-line{fill:none;stroke:#b8705c;stroke-width:2;stroke-linecap:round}
.skin-edge{fill:none;stroke:#7a3c30;stroke-width:2.2;stroke-linejoin:round}
.blush{fill:#f7a9a3}.blush-line{fill:none;stroke:#e77f7c;stroke-width:1.6;stroke-linecap:round}
.lip{fill:#d8686a}.mouth{fill:none;stroke:#8e3b36;stroke-width:2.4;stroke-linecap:round}
.hair{fill:#8c4936}.hair-sh{fill:#5e2b22}.hair-deep{fill:#6c3428}.hair-hi{fill:#c47c5a}.hair-sheen{fill:#e9ab88}
.hair-ol{stroke:#3b1712;stroke-width:2.2;stroke-linejoin:round}
.hair-edge{fill:none;stroke:#3b1712;stroke-width:2.2;stroke-linejoin:round}
.hair-line{fill:none;stroke:#5e2b22;stroke-width:1.6;stroke-linecap:round}
.punk{fill:#e4579b}.punk-sh{fill:#9f2463}.punk-hi{fill:#ff9fcf}.punk-ol{stroke:#46102d;stroke-width:2.2;stroke-linejoin:round}
.punk-edge{fill:none;stroke:#46102d;stroke-width:2.2;stroke-linejoin:round}
.punk-line{fill:none;stroke:#9f2463;stroke-width:1.6;stroke-linecap:round}
.lash{fill:#2a1410}.lash-line{fill:none;stroke:#2a1410;stroke-width:2.4;stroke-linecap:round}
.crease{fill:none;stroke:#a8604e;stroke-width:1.8;stroke-linecap:round}
.brow{fill:#3a1610}
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
    # one silhouette: neck, shoulders, torso, both arms, with a notch between
    # the torso and the right arm at the bottom where the hair ends show
    sil = ("M384 140 L476 128 C472 200 474 262 486 298 C520 318 600 330 660 346 C702 358 724 384 732 420 "
           "C744 470 764 540 786 625 L672 625 C664 600 656 584 646 560 L639 625 L128 625 "
           "C132 540 140 480 152 410 C160 375 180 354 222 343 C282 328 350 318 376 298 C382 262 386 220 384 140 Z")
    b.append(path(sil, "skin skin-ol"))
    # neck shadow under the jaw and along the right of the neck
    b.append(path("M380 196 L476 146 L478 196 C452 226 420 244 382 250 Z", "skin-sh"))
    b.append(path("M470 200 C468 250 472 280 486 298 C478 300 470 298 462 292 C458 262 458 230 470 200 Z", "skin-sh"))
    # the neck's shadow on the chest
    b.append(path("M380 292 C400 304 462 304 484 292 C480 312 456 330 432 336 C408 330 386 312 380 292 Z", "skin-sh"))
    # collarbones
    b.append(path("M318 336 C340 330 362 330 388 322", "skin-line"))
    b.append(path("M474 324 C500 330 520 336 548 338", "skin-line"))
    # shoulder and arm shading
    b.append(path("M152 410 C160 375 180 354 222 343 C200 360 186 380 182 420 C176 480 172 540 170 625 L128 625 "
                  "C132 540 140 480 152 410 Z", "skin-sh"))
    b.append(path("M732 420 C744 470 764 540 786 625 L750 625 C738 560 724 500 712 450 C708 420 716 400 732 420 Z",
                  "skin-sh"))
    # armpits / arm inner edges
    b.append(path("M214 412 C206 470 200 540 198 625", "skin-line"))
    b.append(path("M220 400 C214 420 212 440 212 470 L200 625 L198 625 C200 540 206 470 214 412 Z", "skin-sh"))
    b.append(path("M652 420 C652 470 650 520 646 560", "skin-line"))
    b.append(path("M640 412 C644 470 642 520 639 560 L639 625 L630 625 C632 560 634 470 640 412 Z", "skin-sh"))
    # redraw outline
    b.append(path(sil, "skin-edge"))
    return b


def head_group():
    b = []
    # ears (the left one mostly hidden behind the cheek)
    ear = "M490 108 C506 94 528 106 524 132 C521 156 512 176 500 186 C492 176 488 146 490 108 Z"
    b.append(path(ear, "skin skin-ol"))
    b.append(path("M498 120 C508 112 518 118 516 134 C514 150 508 162 502 170 C500 154 498 136 498 120 Z", "skin-sh"))
    b.append(path("M252 150 C240 156 242 178 258 188 L266 182 Z", "skin skin-ol"))
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
}


def eye(cx, cy, w, h, open_, iris, mirror, happy, glance=-3):
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
    gid = "ir%d%d" % (int(cx), int(cy))
    b.append('<linearGradient id="%s" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
             '<stop offset="0.55" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>' %
             (gid, top, mid, low))
    iris_cy = cy + 2
    b.append(ellipse(icx, iris_cy, irx, iry, "", ' fill="url(#%s)" stroke="%s" stroke-width="1.6"' % (gid, top)))
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
    # upper lash: thick band, heavier at the outer corner
    outer = rx if not mirror else lx
    sgn = 1 if not mirror else -1
    # simpler reliable lash: stroke along the lid plus a flick
    b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx - 1), f(cy + 3), f(lx + w * 0.2), f(topy - 1),
                                                   f(rx - w * 0.2), f(topy - 1), f(rx + 1), f(cy - 2)), "",
                  ' fill="none" stroke="#2a1410" stroke-width="5.5" stroke-linecap="round"'))
    b.append(path("M%s %s L%s %s L%s %s Z" % (f(outer - sgn * 6), f(cy - 5 - hh * 0.2), f(outer + sgn * 10),
                                               f(cy - 10 - hh * 0.12), f(outer + sgn * 1), f(cy + 1)), "lash"))
    # lower lash: short line at the outer side
    b.append(path("M%s %s C%s %s %s %s %s %s" % (f(cx - sgn * w * 0.05), f(boty + 3), f(cx + sgn * w * 0.2),
                                                   f(boty + 3), f(cx + sgn * w * 0.38), f(boty), f(outer), f(cy + 2)),
                  "lash-line", ' stroke-width="1.8"'))
    # crease above the lid
    b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx + w * 0.15), f(topy - 8), f(lx + w * 0.35), f(topy - 13),
                                                   f(rx - w * 0.3), f(topy - 13), f(rx - w * 0.05), f(topy - 7)),
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
    # a thin rim of skin colour keeps the brow readable over the fringe
    return strand(pts, [2, 7, 2], "brow", extra=' stroke="#f6c8b2" stroke-width="2" stroke-linejoin="round"') + \
        "\n" + strand(pts, [2, 7, 2], "brow")


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
    top, mid, low, open_, tilt, happy = EYES[k]
    b = []
    if happy == 2:
        return joy_eye(300, 88, 58, True) + joy_eye(418, 86, 66, False)
    b += eye(300, 86, 58, 52, open_, (top, mid, low), True, happy)
    b += eye(418, 84, 66, 56, open_, (top, mid, low), False, happy)
    return b


def brows_group(k):
    # drawn over the fringe, as the style has it
    tilt = EYES[k][4]
    return [brow(298, 46 - (2 if tilt > 3 else 0), 50, tilt, True),
            brow(420, 43 - (2 if tilt > 3 else 0), 56, tilt, False)]


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
        b.append(path("M%s %s C%s %s %s %s %s %s" % (f(lx + w * 0.15), f(cy - 12), f(lx + w * 0.35), f(cy - 17),
                                                       f(rx - w * 0.3), f(cy - 17), f(rx - w * 0.05), f(cy - 11)),
                      "crease"))
    return b


# ---------------------------------------------------------------- hair

def fringe_locks(long_):
    L = []
    d = 10 if long_ else 0
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
    if long_:
        tips = [(x, y + 10) for x, y in tips]
    sh = [(236, 0)] + [(x + 4, y - 2) for x, y in tips] + [(502, 40), (502, 0)]
    b.append(path(poly(sh), "skin-sh"))
    return b


def fringe_group(long_):
    b = []
    # a cap of hair over the crown so no forehead shows between the roots
    b.append(path("M200 -10 L540 -10 L540 20 C470 26 360 30 230 36 L200 36 Z", "hair"))
    b += fringe_locks(long_)
    # temple locks framing the face on both sides
    b.append(lock([(238, -10), (228, 40), (226, 96), (236, 130)], [34, 30, 22, 0], shade_side=1))
    b.append(lock([(486, -10), (494, 40), (498, 90), (494, 128)], [30, 26, 18, 0], shade_side=-1))
    # sheen band across the crown
    # ring of light: short tapered streaks along the curve of the head
    for i in range(9):
        x = 292 + i * 17
        y = 10 + abs(i - 4) * 1.5
        b.append(strand([(x + 4, y - 2), (x + 1, y + 8), (x - 2, y + 16)], [0, 7, 0], "hair-sheen"))
    return b


def side_group():
    b = []
    # locks falling in front of both cheeks and the right ear
    b.append(lock([(232, 0), (222, 60), (224, 130), (236, 180), (250, 198)], [36, 34, 30, 20, 0], shade_side=1))
    b.append(lock([(252, 20), (246, 90), (252, 150), (262, 178)], [22, 20, 14, 0], shade_side=1, hi=False))
    b.append(lock([(488, 0), (498, 60), (504, 110), (500, 150), (492, 170)], [30, 28, 22, 14, 0], shade_side=-1))
    return b


def main_hair_group():
    b = []
    # the whole back mass; the figure and the face are cut out of it by the
    # generator, so it may run behind them freely
    mass = [(150, -12), (136, 50), (124, 120), (118, 180), (108, 232), (98, 266), (122, 256), (132, 290),
            (152, 270), (166, 298), (188, 276), (204, 300), (224, 300), (236, 384), (680, 384), (690, 352),
            (698, 300), (696, 250), (698, 200), (690, 140), (680, 96), (668, 50), (650, -12)]
    d = poly(catmull(mass, True, 6))
    b.append(path(d, "hair hair-ol"))
    # the inner mass around the neck is in shade
    b.append(path(smooth([(214, 130), (256, 196), (320, 236), (380, 246), (480, 200), (540, 170), (596, 200),
                          (630, 300), (600, 384), (262, 384), (222, 300), (204, 220)]), "hair-deep"))
    for pts, ws, side, hi in (
            ([(176, -10), (150, 70), (134, 150), (122, 214), (104, 262)], [40, 40, 34, 26, 0], 1, True),
            ([(200, 0), (178, 90), (160, 170), (148, 236), (134, 286)], [36, 36, 32, 24, 0], 1, False),
            ([(222, 40), (204, 130), (190, 210), (180, 270), (166, 294)], [32, 32, 28, 20, 0], 1, False),
            ([(236, 120), (222, 200), (210, 262), (204, 298)], [28, 28, 22, 0], 1, False),
            ([(616, -10), (644, 70), (662, 150), (674, 230), (684, 300)], [40, 40, 36, 30, 20], -1, True),
            ([(588, 0), (614, 90), (632, 170), (644, 240), (652, 300)], [36, 36, 34, 30, 24], -1, False)):
        b.append(flow(pts, ws, side, hi))
    # crown with its ring of light
    b.append(path("M160 -12 L640 -12 C620 20 560 30 480 30 C380 30 260 28 180 40 Z", "hair"))
    b.append(path("M196 14 L214 6 L226 18 L244 8 L256 20 L274 10 L284 20 L266 28 L252 24 L236 30 L222 24 "
                  "L206 30 Z", "hair-sheen"))
    b.append(path("M560 12 L578 4 L590 16 L606 8 L616 22 L600 26 L586 22 L572 28 Z", "hair-sheen"))
    b.append(path(d, "hair-edge"))
    return b


def sub_hair_group():
    """Hair falling over the shoulders, in front of the body. The top of each
    mass lies inside the back hair, so only its sides and tips are outlined."""
    b = []
    right = [(540, 168), (600, 178), (650, 206), (684, 250), (694, 300), (690, 350), (686, 384), (684, 414),
             (668, 392), (652, 418), (636, 394), (618, 420), (600, 398), (584, 412), (572, 380), (560, 330),
             (548, 270), (538, 220)]
    left = [(238, 196), (256, 214), (264, 250), (264, 300), (262, 350), (252, 400), (240, 376), (228, 406),
            (218, 364), (212, 300), (216, 240)]
    for sil, side in ((right, -1), (left, 1)):
        dense = catmull(sil, True, 6)
        b.append(path(poly(dense), "hair"))
        if side < 0:
            inner = [([(552, 190), (566, 300), (584, 370), (584, 410)], [16, 26, 22, 0]),
                     ([(578, 186), (606, 300), (620, 380), (618, 418)], [18, 30, 24, 0]),
                     ([(606, 190), (642, 300), (654, 380), (652, 416)], [18, 30, 24, 0]),
                     ([(640, 210), (678, 300), (684, 370), (684, 412)], [14, 24, 18, 0])]
        else:
            inner = [([(234, 206), (224, 300), (228, 370), (228, 404)], [12, 22, 16, 0]),
                     ([(246, 206), (254, 300), (254, 370), (252, 398)], [12, 20, 14, 0])]
        for i, (pts, ws) in enumerate(inner):
            b.append(flow(pts, ws, side, hi=(i == 1)))
        # outline everything but the top edge
        b.append(path(poly(dense, True), "hair-edge"))
    return b


def front_group(long_):
    b = []
    if not long_:
        b.append(lock([(470, -10), (520, 60), (546, 140), (552, 200), (534, 236)], [52, 48, 42, 30, 0],
                      shade_side=-1))
        b.append(lock([(500, 0), (552, 80), (574, 160), (572, 224)], [40, 36, 30, 0], shade_side=-1, hi=False))
    else:
        b.append(lock([(466, -10), (520, 70), (548, 150), (560, 214), (548, 256)], [56, 52, 46, 36, 0],
                      shade_side=-1))
        b.append(lock([(500, 0), (556, 80), (584, 160), (594, 220), (590, 256)], [44, 42, 38, 30, 0],
                      shade_side=-1, hi=False))
        b.append(lock([(540, 20), (600, 100), (626, 180), (640, 254)], [36, 34, 30, 0], shade_side=-1,
                      hi=False))
    return b


def longleft_group():
    return [
        lock([(236, 0), (190, 40), (150, 86), (118, 144)], [40, 38, 28, 0], shade_side=1),
        lock([(214, 10), (170, 60), (138, 100), (108, 126)], [30, 26, 16, 0], shade_side=1, hi=False),
    ]


def tip_group():
    b = [path("M610 540 L690 540 L690 610 L610 610 Z", "hair")]
    for x, w in ((626, 18), (646, 16), (664, 18)):
        b.append(strand([(x, 530), (x + 4, 570), (x + 2, 610)], [w, w, w], "hair-sh", bias=0.6))
        b.append(path("M%d 535 C%d 560 %d 585 %d 610" % (x + 6, x + 10, x + 9, x + 8), "hair-line"))
    b.append(strand([(636, 534), (640, 560), (638, 590)], [0, 6, 0], "hair-hi"))
    return b


def shaggy_group():
    b = []
    # a short, layered bob: choppy locks all round, fringe falling to the brows
    outer = [((200, -10), (170, 60), (160, 140), (172, 206), (188, 236)),
             ((232, -10), (196, 80), (188, 160), (206, 226)),
             ((540, -10), (574, 70), (584, 150), (570, 214), (556, 240)),
             ((512, -10), (548, 80), (560, 160), (548, 226))]
    for i, pts in enumerate(outer):
        n = len(pts)
        ws = [54] + [50 - 6 * j for j in range(1, n - 1)] + [0]
        b.append(lock(list(pts), ws, shade_side=1 if i < 2 else -1, hi=(i % 2 == 0)))
    for i, (tx, ty) in enumerate([(220, 120), (238, 150), (492, 150), (510, 128), (232, 178), (498, 190)]):
        root = (tx + (10 if tx < 360 else -10), 20)
        b.append(lock([root, ((root[0] + tx) / 2 - (8 if tx < 360 else -8), (20 + ty) / 2), (tx, ty)],
                      [30, 26, 0], shade_side=1 if tx < 360 else -1, hi=False))
    b.append(path("M196 -12 L556 -12 C560 10 540 30 480 34 C400 38 300 38 226 44 C206 40 196 20 196 -12 Z",
                  "hair"))
    for i, (tx, ty) in enumerate([(240, 70), (262, 84), (284, 66), (306, 90), (330, 72), (352, 94),
                                  (372, 74), (394, 92), (416, 70), (440, 88), (462, 66), (486, 80)]):
        left = tx < 364
        root = (364 + (-40 if left else 40) + (i % 3 - 1) * 12, -24)
        w = 42 if i % 2 == 0 else 34
        bend = -10 if left else 10
        b.append(lock([root, ((root[0] + tx) / 2 + bend, (root[1] + ty) / 2), (tx, ty)], [w, w * 0.75, 0],
                      shade_side=1 if left else -1, hi=(i % 3 == 0)))
    b.append(path("M280 16 L296 8 L308 18 L324 10 L336 20 L352 12 L364 22 L380 14 L390 24 L372 28 L358 24 "
                  "L344 30 L330 24 L316 30 L302 24 L288 28 Z", "hair-sheen"))
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
    # sideburns over the temples
    b.append(lock([(240, -10), (234, 60), (238, 124), (252, 166)], [56, 56, 44, 0], shade_side=1, pal="punk"))
    b.append(lock([(488, -10), (496, 60), (498, 112), (492, 150)], [42, 40, 30, 0], shade_side=-1, pal="punk"))
    # spiky fringe
    for i, (tx, ty) in enumerate([(248, 62), (278, 70), (310, 56), (340, 74), (368, 58), (398, 72), (428, 56),
                                  (456, 68), (482, 52)]):
        root = (tx + 18, -16)
        b.append(lock([root, (tx + 10, ty / 2), (tx, ty)], [44, 36, 0], shade_side=-1 if i % 2 else 1,
                      hi=(i % 2 == 0), pal="punk"))
    return b


def otohime_group():
    """Straight, sleek princess hair: a long curtain behind, cut in a straight
    line. The face, the neck and the side locks are cut out of it."""
    b = []
    back = ("M172 -12 L628 -12 C640 80 646 180 648 300 L646 394 L154 394 L152 300 C154 180 160 80 172 -12 Z")
    b.append(path(back, "hair hair-ol"))
    b.append(path("M206 150 C262 232 330 252 430 252 C522 252 584 222 616 150 L622 394 L196 394 Z", "hair-sh"))
    # long straight strands
    for x0, x1 in ((170, 158), (190, 176), (214, 204), (612, 630), (592, 612), (570, 586)):
        b.append(path("M%d 0 C%d 120 %d 260 %d 390" % (x0, x0 + (x1 - x0) * 0.3, x1, x1), "hair-line"))
    for x0, x1 in ((182, 166), (600, 620)):
        b.append(path("M%d 10 C%d 130 %d 260 %d 392 L%d 392 C%d 260 %d 130 %d 10 Z" % (
            x0, x0 + (x1 - x0) * 0.3, x1, x1, x1 + 10, x1 + 10, x0 + 10 + (x1 - x0) * 0.3, x0 + 10), "hair-sh"))
    # a ring of light across the curtain
    b.append(path("M158 78 L176 70 L188 82 L204 72 L216 84 L230 76 L230 90 L214 96 L202 88 L188 96 L174 88 "
                  "L158 94 Z", "hair-sheen"))
    b.append(path("M520 70 L536 78 L552 68 L566 80 L582 70 L598 82 L614 72 L632 80 L642 92 L626 88 L612 96 "
                  "L598 88 L582 96 L566 88 L550 94 L536 86 L522 90 Z", "hair-sheen"))
    b.append(path("M160 -12 L640 -12 C620 20 560 30 480 30 C380 30 260 28 170 40 Z", "hair"))
    b.append(path(back, "hair-edge"))
    # a pearl comb above the right ear
    b.append(path("M548 10 L624 22 L618 32 L544 22 Z", "gold gold-ol"))
    for i in range(6):
        b.append(circle(552 + i * 13, 24 + i * 2 + (i % 2) * 5, 6.5, "pearl pearl-ol"))
    return b


def otohime_front_group():
    """The straight front locks falling over the shoulders, cut level."""
    b = []
    for d, lines in (("M228 196 L250 196 C262 240 268 300 272 394 L210 394 C210 330 214 260 228 196 Z",
                      ((226, 224), (244, 250), (258, 262))),
                     ("M580 196 L604 196 C618 260 628 320 632 394 L562 394 C560 320 566 250 580 196 Z",
                      ((576, 574), (596, 598), (614, 620)))):
        b.append(path(d, "hair hair-ol"))
        for x0, x1 in lines:
            b.append(path("M%d 236 C%d 300 %d 350 %d 392" % (x0, x0, x1, x1), "hair-line"))
        b.append(path(d, "hair-edge"))
    b.append(path("M238 240 L246 240 L250 330 L244 330 Z", "hair-hi"))
    b.append(path("M584 240 L592 240 L596 330 L590 330 Z", "hair-hi"))
    return b


# ---------------------------------------------------------------- clothes

BODICE = ("M198 628 L203 502 C250 494 300 494 335 505 C380 514 420 522 455 532 C490 520 530 506 570 503 "
          "C600 501 625 500 641 502 L640 628 Z")


def costume_group():
    b = [path(BODICE, "dress dress-ol")]
    # shading: under the cups and along the sides
    b.append(path("M203 560 C260 552 320 556 380 570 C420 580 440 590 455 600 L455 628 L198 628 Z", "dress-sh"))
    b.append(path("M600 520 C620 540 630 570 640 600 L640 628 L604 628 C606 590 604 550 600 520 Z", "dress-sh"))
    b.append(path("M250 540 C290 532 330 536 360 548 C330 546 290 546 250 552 Z", "dress-hi"))
    b.append(path("M500 536 C530 526 560 524 590 526 C560 532 530 538 500 546 Z", "dress-hi"))
    # polka dots
    for x, y in ((240, 580), (290, 566), (340, 590), (392, 574), (430, 604), (506, 566), (552, 588), (598, 560),
                 (262, 612), (470, 560), (610, 608), (370, 612)):
        b.append(circle(x, y, 5, "dress-dot"))
    b.append(path("M455 532 L455 628", "", ' fill="none" stroke="#263d6e" stroke-width="1.8"'))
    b.append(path(BODICE, "dress-edge"))
    b += trim_shapes("trim trim-ol")
    return b


def trim_points():
    # a wavy band just below the neckline: it is the hem the colour keys paint
    top, bot = [], []
    for i in range(0, 41):
        x = 226 + i * 9.4
        if x > 600:
            x = 600
        # neckline height at x (approximate the bodice curve)
        if x < 335:
            y = 500 - (x - 203) * 0.02 + ((x - 203) / 132) ** 2 * 6
        elif x < 455:
            y = 505 + (x - 335) / 120 * 27
        else:
            y = 532 - (x - 455) / 115 * 29
        wav = 3 * math.sin(i * 1.1)
        top.append((x, y + 7 + wav))
        bot.append((x, y + 19 + wav))
    return top, bot


def trim_shapes(cls):
    top, bot = trim_points()
    return [path(poly(top + bot[::-1]), cls)]


def trim_group():
    top, bot = trim_points()
    return [path(poly(top + bot[::-1]), "ink")]


CAMI = ("M196 628 L204 436 C230 428 260 430 290 432 L296 340 L304 340 L300 432 C360 440 420 440 470 436 "
        "C510 432 540 428 556 426 L570 346 L578 346 L566 426 C600 426 622 430 642 434 L640 628 Z")


def camisole_group():
    b = [path(CAMI, "cami cami-ol")]
    b.append(path("M204 520 C260 540 330 548 400 546 C460 544 520 536 580 520 C600 540 620 580 640 600 L640 628 "
                  "L198 628 Z", "cami-sh"))
    b.append(path("M240 470 C300 480 360 484 420 482 C360 492 300 492 240 484 Z", "cami-hi"))
    for i in range(22):
        x = 208 + i * 20
        b.append(circle(x, 438 + (0 if x < 470 else -2), 9, "lace lace-ol"))
    b.append(path("M206 440 L642 434 L642 446 L206 452 Z", "lace"))
    b.append(path("M206 440 L642 434", "", ' fill="none" stroke="#b77b95" stroke-width="1.4"'))
    # a little bow at the middle of the neckline and soft gathers below it
    for sg in (-1, 1):
        b.append(path("M428 448 C%d 436 %d 438 %d 448 C%d 458 %d 460 428 448 Z" % (
            428 + sg * 8, 428 + sg * 20, 428 + sg * 20, 428 + sg * 20, 428 + sg * 8), "rib rib-ol"))
        b.append(path("M428 450 L%d 472 L%d 470 Z" % (428 + sg * 10, 428 + sg * 4), "rib rib-ol"))
    b.append(circle(428, 448, 4, "rib rib-ol"))
    for x in (300, 360, 500, 560):
        b.append(path("M%d 456 C%d 480 %d 500 %d 520" % (x, x + 2, x - 2, x), "", ' fill="none" stroke="#e6afc7" '
                      'stroke-width="2" stroke-linecap="round"'))
    b.append(path(CAMI, "cami-edge"))
    return b


def strings_group(kind):
    b = []
    s = ' fill="none" stroke="#000000" stroke-linecap="round" stroke-width="%s"'
    if kind == "single":
        b.append('<path d="M300 516 C330 440 360 370 394 314"%s/>' % (s % 7))
        b.append('<path d="M462 520 C466 440 468 380 468 314"%s/>' % (s % 7))
    elif kind == "thick":
        b.append('<path d="M296 514 C326 440 356 372 392 316"%s/>' % (s % 15))
        b.append('<path d="M470 518 C474 440 478 380 480 316"%s/>' % (s % 15))
    elif kind == "w":
        b.append('<path d="M214 362 C250 420 280 470 300 500 C330 450 360 420 394 410 C430 420 460 460 488 502 '
                 'C520 440 550 400 584 360"%s/>' % (s % 7))
    elif kind == "cross":
        b.append('<path d="M250 512 C320 440 400 380 488 336"%s/>' % (s % 8))
        b.append('<path d="M466 518 C400 440 320 380 242 352"%s/>' % (s % 8))
    return b


# ---------------------------------------------------------------- accessories

def ribbon_group(c="rib"):
    b = []
    cx, cy = 470, 515
    # tails, loops, knot
    b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx - 6, cy + 4, cx - 36, cy + 36, cx - 22, cy + 34, cx - 14, cy + 40),
                  "%s %s-ol" % (c, c)))
    b.append(path("M%d %d L%d %d L%d %d L%d %d Z" % (cx + 6, cy + 4, cx + 38, cy + 34, cx + 24, cy + 34, cx + 18, cy + 40),
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


def flower_group(petal="#ffb3cd", petal_sh="#f27aa6", centre="gold", leaf=True):
    # drawn in the picture's own 100 x 120 coordinates
    b = []
    cx, cy = 50, 62
    if leaf:
        b.append(path("M50 70 C70 86 88 100 96 116 C74 112 58 98 50 70 Z", "leaf leaf-ol"))
        b.append(path("M48 72 C30 88 14 100 6 114 C26 112 42 100 48 72 Z", "leaf leaf-ol"))
        b.append(path("M54 78 C68 92 80 102 90 112", "", ' fill="none" stroke="#3f8c3a" stroke-width="1.6"'))
    for i in range(5):
        a = -math.pi / 2 + i * 2 * math.pi / 5
        px, py = cx + 24 * math.cos(a), cy + 24 * math.sin(a)
        rot = math.degrees(a) + 90
        b.append('<ellipse cx="%s" cy="%s" rx="17" ry="24" fill="%s" stroke="#8a2a52" stroke-width="1.8" '
                 'transform="rotate(%s %s %s)"/>' % (f(px), f(py), petal, f(rot), f(px), f(py)))
        b.append('<ellipse cx="%s" cy="%s" rx="8" ry="12" fill="%s" transform="rotate(%s %s %s)"/>' %
                 (f(cx + 16 * math.cos(a)), f(cy + 16 * math.sin(a)), petal_sh, f(rot), f(cx + 16 * math.cos(a)),
                  f(cy + 16 * math.sin(a))))
    b.append(circle(cx, cy, 11, "%s %s-ol" % (centre, centre)))
    for i in range(6):
        a = i * math.pi / 3
        b.append(circle(cx + 6 * math.cos(a), cy + 6 * math.sin(a), 2, centre + "-sh"))
    b.append(circle(cx - 3, cy - 4, 3, centre + "-hi"))
    return b


def hairband_group(c="sapph"):
    # a bow barrette on the right side of the head, in window coordinates
    b = []
    cx, cy = 520, 48
    for sg in (-1, 1):
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx, cy, cx + sg * 16, cy - 34, cx + sg * 38, cy - 30, cx + sg * 36, cy - 4, cx + sg * 38, cy + 22,
            cx + sg * 16, cy + 26, cx, cy), "%s %s-ol" % (c, c)))
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            cx + sg * 6, cy + 2, cx + sg * 18, cy + 14, cx + sg * 30, cy + 14, cx + sg * 33, cy + 4,
            cx + sg * 32, cy + 18, cx + sg * 16, cy + 20, cx + sg * 6, cy + 2), c + "-sh"))
        b.append(path("M%d %d L%d %d L%d %d Z" % (cx + sg * 4, cy + 6, cx + sg * 20, cy + 44, cx + sg * 8, cy + 40),
                      "%s %s-ol" % (c, c)))
    for i in range(3):
        b.append(circle(cx - 24 + i * 8, cy - 8 + i * 3, 2.5, c + "-hi"))
        b.append(circle(cx + 24 - i * 8, cy - 8 + i * 3, 2.5, c + "-hi"))
    b.append(ellipse(cx, cy, 9, 11, "gold gold-ol"))
    b.append(circle(cx - 2, cy - 3, 3, "gold-hi"))
    return b


def choker_group(style=0):
    b = []
    if style == 0:
        b.append(path("M378 280 C410 292 450 292 486 280 L486 294 C450 306 410 306 378 294 Z", "velvet velvet-ol"))
        b.append(path("M380 284 C410 294 450 294 484 284", "", ' fill="none" stroke="#6a5680" stroke-width="1.6"'))
        b.append(path("M432 300 L432 312", "", ' fill="none" stroke="#c08a22" stroke-width="2.4"'))
        heart = "M432 346 C410 330 404 316 414 310 C422 306 430 310 432 318 C434 310 442 306 450 310 C460 316 454 330 432 346 Z"
        b.append(path(heart, "gold gold-ol"))
        b.append(path("M420 316 C424 312 428 314 428 318", "", ' fill="none" stroke="#fff1b0" stroke-width="2.4" '
                      'stroke-linecap="round"'))
        b.append(circle(432, 304, 5, "gold gold-ol"))
    else:
        b.append(path("M378 278 C410 290 450 290 486 278 L486 296 C450 308 410 308 378 296 Z", "lace lace-ol"))
        for i in range(9):
            x = 384 + i * 12
            b.append(circle(x, 298 + (2 if 3 <= i <= 5 else 0), 4, "lace lace-ol"))
        b.append(path("M432 302 L432 322", "", ' fill="none" stroke="#9aa3b5" stroke-width="2"'))
        b.append(circle(432, 334, 11, "pearl pearl-ol"))
        b.append(circle(428, 330, 3.5, "silver-hi"))
    return b


EAR_L = (262, 186)
EAR_R = (506, 186)


# The program masks every earring, earring-frame and bracelet cell with the
# first cell's shape, so the five cells of each list share one silhouette and
# differ only in colour and inner detail.

JEWELS = [
    # metal, stone, stone shade, stone light, outline
    ("#f2c14e", "#f2c14e", "#c08a22", "#fff1b0", "#6e4a10"),  # gold drop
    ("#d9dee8", "#fbf6f0", "#e2cfd0", "#ffffff", "#7a6a70"),  # pearl
    ("#f2c14e", "#e23a55", "#9e1634", "#ff9aaa", "#5a0c1c"),  # ruby
    ("#d9dee8", "#3f7fe0", "#1f4aa0", "#a9d0ff", "#10275a"),  # sapphire
    ("#d9dee8", "#c9ccf0", "#8f86c8", "#ffffff", "#3a3566"),  # silver star
]


def earring_pair(k):
    metal, stone, shade, light, ol = JEWELS[k]
    b = []
    for (x, y) in (EAR_L, EAR_R):
        b.append('<path d="M%d %d L%d %d" fill="none" stroke="%s" stroke-width="3" stroke-linecap="round"/>' %
                 (x, y, x, y + 10, ol))
        b.append('<path d="M%d %d L%d %d" fill="none" stroke="%s" stroke-width="1.4"/>' % (x, y + 1, x, y + 9, metal))
        b.append(circle(x, y + 14, 5, "", ' fill="%s" stroke="%s" stroke-width="1.6"' % (metal, ol)))
        drop = "M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            x, y + 18, x + 13, y + 32, x + 12, y + 50, x, y + 50, x - 12, y + 50, x - 13, y + 32, x, y + 18)
        b.append(path(drop, "", ' fill="%s" stroke="%s" stroke-width="1.8"' % (stone, ol)))
        b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
            x + 2, y + 24, x + 10, y + 34, x + 9, y + 46, x + 1, y + 47, x + 6, y + 42, x + 6, y + 34, x + 2,
            y + 24), "", ' fill="%s"' % shade))
        if k == 4:
            pts = []
            for i in range(10):
                a = -math.pi / 2 + i * math.pi / 5
                r = 7 if i % 2 == 0 else 3
                pts.append((x + r * math.cos(a), y + 36 + r * math.sin(a)))
            b.append(path(poly(pts), "", ' fill="#ffffff"'))
        elif k == 3:
            b.append(path("M%d %d L%d %d L%d %d Z" % (x - 5, y + 34, x - 1, y + 26, x - 1, y + 44), "",
                          ' fill="%s"' % light))
        else:
            b.append(ellipse(x - 4, y + 34, 3, 5, "", ' fill="%s"' % light))
        b.append(circle(x - 1.5, y + 12.5, 1.5, "", ' fill="#ffffff"'))
    return b


STUDS = [("#f2c14e", "#c08a22", "#6e4a10"), ("#d9dee8", "#9aa3b5", "#4a5166"), ("#e23a55", "#9e1634", "#5a0c1c"),
         ("#3cc2b4", "#1e8378", "#0c4a44"), ("#f59ac0", "#d0588a", "#6a1a3c")]


def earframe_pair(k):
    """Ear studs that hold the earrings, drawn on the lobes."""
    fill, shade, ol = STUDS[k]
    b = []
    for (x, y) in (EAR_L, EAR_R):
        b.append(circle(x, y - 1, 6, "", ' fill="%s" stroke="%s" stroke-width="1.6"' % (fill, ol)))
        b.append(path("M%d %d A5 5 0 0 0 %d %d" % (x - 4, y + 1, x + 4, y + 1), "",
                      ' fill="none" stroke="%s" stroke-width="2"' % shade))
        if k == 2:
            for i in range(5):
                a = i * 2 * math.pi / 5 - math.pi / 2
                b.append(circle(x + 3 * math.cos(a), y - 1 + 3 * math.sin(a), 1.3, "", ' fill="#ff9aaa"'))
        elif k == 4:
            b.append(path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z" % (
                x, y + 2, x - 4, y - 1, x - 3, y - 5, x, y - 3, x + 3, y - 5, x + 4, y - 1, x, y + 2), "",
                ' fill="#ffffff"'))
        b.append(circle(x - 2, y - 3, 1.6, "", ' fill="#ffffff"'))
    return b


BEADS = [("#f2c14e", "#c08a22", "#6e4a10", "#f2c14e"), ("#fbf6f0", "#e2d4cc", "#8c7a70", "#d9dee8"),
         ("#e23a55", "#9e1634", "#5a0c1c", "#f2c14e"), ("#3cc2b4", "#1e8378", "#0c4a44", "#d9dee8"),
         ("#d9dee8", "#9aa3b5", "#4a5166", "#3f7fe0")]


def bracelet(k):
    """A string of beads round the right arm with a heart charm."""
    fill, shade, ol, charm = BEADS[k]
    b = []
    x0, x1, y = 664, 764, 578
    n = 11
    for i in range(n):
        t = i / (n - 1)
        x = x0 + 4 + t * (x1 - x0 - 8)
        yy = y + 3 + 6 * math.sin(math.pi * t) + t * 4
        b.append(circle(x, yy, 6, "", ' fill="%s" stroke="%s" stroke-width="1.6"' % (fill, ol)))
        b.append(circle(x + 1.5, yy + 1.5, 3, "", ' fill="%s"' % shade))
        b.append(circle(x - 2, yy - 2, 1.8, "", ' fill="#ffffff"'))
    heart = ("M714 598 C704 590 702 582 708 580 C711 579 713 581 714 584 C715 581 717 579 720 580 "
             "C726 582 724 590 714 598 Z")
    b.append(path(heart, "", ' fill="%s" stroke="%s" stroke-width="1.6"' % (charm, ol)))
    b.append(circle(710, 584, 1.5, "", ' fill="#ffffff"'))
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


SCENES = [
    # sky colour, drawing
    ("#8fd3f4", "day"), ("#f7a66e", "sunset"), ("#fbd7e4", "blossom"), ("#c3ecd9", "mint"),
    ("#d2bff0", "lavender"), ("#cfe6ff", "rainbow"), ("#1c2450", "night"), ("#fff0a6", "lemon"),
    ("#ffd3b6", "peach"), ("#a2e4e0", "sea"),
]


def scene_tiles():
    b = []
    for i, (sky, kind) in enumerate(SCENES):
        y0 = 75 * i
        b.append('<rect x="0" y="%d" width="75" height="75" fill="%s"/>' % (y0, sky))

        def cloud(x, y, c="#ffffff"):
            return ('<ellipse cx="%s" cy="%s" rx="7" ry="3" fill="%s"/><ellipse cx="%s" cy="%s" rx="4" ry="3" '
                    'fill="%s"/>' % (f(x), f(y0 + y), c, f(x + 2), f(y0 + y - 2), c))
        if kind == "day":
            b.append(circle(64, y0 + 10, 6, "", ' fill="#ffe36b"'))
            b.append(cloud(14, 14) + cloud(40, 24) + cloud(8, 40))
        elif kind == "sunset":
            b.append(circle(60, y0 + 50, 9, "", ' fill="#ffd45e"'))
            b.append('<rect x="0" y="%d" width="75" height="4" fill="#e9837a"/>' % (y0 + 60))
            b.append(cloud(16, 16, "#d98aa6") + cloud(36, 30, "#e99a9a"))
        elif kind == "blossom":
            for (x, y) in ((8, 10), (30, 20), (56, 8), (20, 44), (62, 36), (44, 58), (10, 66)):
                b.append(circle(x, y0 + y, 2, "", ' fill="#f591b4"'))
        elif kind == "mint":
            for (x, y) in ((12, 14), (50, 22), (30, 50), (64, 60)):
                b.append(circle(x, y0 + y, 3, "", ' fill="#e9fbf3"'))
        elif kind == "lavender":
            for (x, y) in ((14, 12), (60, 20), (36, 48), (10, 62)):
                b.append(path("M%d %d l-3 -3 a2 2 0 0 1 3 -2 a2 2 0 0 1 3 2 z" % (x, y0 + y), "",
                              ' fill="#f2a3c9"'))
        elif kind == "rainbow":
            for r, c in ((30, "#f47a7a"), (26, "#f7c46a"), (22, "#9bd67c"), (18, "#7ab4f0")):
                b.append('<path d="M%d %d A%d %d 0 0 1 %d %d" fill="none" stroke="%s" stroke-width="4"/>' % (
                    38 - r, y0 + 62, r, r, 38 + r, y0 + 62, c))
            b.append(cloud(10, 60) + cloud(66, 60))
        elif kind == "night":
            b.append(circle(60, y0 + 14, 7, "", ' fill="#fff4c2"'))
            b.append(circle(64, y0 + 11, 6, "", ' fill="%s"' % sky))
            for (x, y) in ((8, 8), (24, 18), (40, 6), (14, 40), (34, 32), (52, 46), (66, 56), (6, 62), (44, 66)):
                b.append('<rect x="%d" y="%d" width="1" height="2" fill="#fff8d0"/>' % (x, y0 + y))
        elif kind == "lemon":
            for (x, y) in ((12, 12), (44, 18), (24, 42), (60, 50), (10, 66)):
                b.append(circle(x, y0 + y, 2, "", ' fill="#ffd75a"'))
        elif kind == "peach":
            b.append(cloud(16, 14, "#fff4ea") + cloud(50, 30, "#fff4ea") + cloud(24, 56, "#fff4ea"))
        elif kind == "sea":
            b.append('<rect x="0" y="%d" width="75" height="12" fill="#5fb8d6"/>' % (y0 + 63))
            b.append(cloud(20, 16) + cloud(54, 26))
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
    group("costume", costume_group())
    group("costume-hem", trim_group())
    group("camisole", camisole_group())
    for kind in ("single", "thick", "w", "cross"):
        group("strings-" + kind, strings_group(kind))
    group("ribbon", ribbon_group())
    group("ribbon-2", ribbon_group("sapph"))
    group("flower", flower_group())
    group("flower-2", flower_group("#fff8e0", "#f2d27a", "ruby"))
    group("hairband", hairband_group())
    group("hairband-2", hairband_group("ruby"))
    group("choker", choker_group(0))
    group("choker-2", choker_group(1))
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
