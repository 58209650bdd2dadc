// Writes contrast_suggestions_table.inc: contrast suggestions made with colorjs.io (the CSS Color 4
// editors' library) for its OKLCH, its CSS Color 4 gamut mapping, its WCAG 2.1 contrast and its
// CIEDE2000, following the search the suggestions are defined by: from the changed colour's OKLCH
// lightness, one step of 0.001 at a time towards black and towards white, hue and chroma kept,
// each lightness gamut mapped into sRGB and rounded to 8 bits; the first colour whose contrast
// against the kept colour reaches the level's threshold. Run once, by hand:
//
//     npm install colorjs.io@0.7.1 && node make_contrast_suggestions_table.mjs > contrast_suggestions_table.inc
//
// The distance is CIEDE2000 (Sharma, Wu and Dalal's formulas, written out below) on colorjs.io's
// CIELAB relative to D65; colorjs.io's own CIEDE2000 works relative to D50. Pairs that pass
// already are left out.
import Color from "colorjs.io";

const thresholds = { NormalAA: 4.5, NormalAAA: 7, LargeAA: 3, LargeAAA: 4.5, NonText: 3 };
const cases = [
    ["777777", "FFFFFF", "NormalAA"],
    ["FF8000", "FFFFFF", "NormalAA"],
    ["FF8000", "FFFFFF", "NormalAAA"],
    ["FF8000", "808080", "LargeAA"],
    ["777777", "777777", "NormalAAA"],
    ["777777", "777777", "LargeAA"],
    ["0000FF", "FF0000", "NormalAA"],
    ["3366CC", "336699", "NonText"],
    ["E0B0FF", "FFFFFF", "LargeAAA"],
    ["008000", "000080", "NormalAA"],
    ["FFFF00", "FFFFFF", "NormalAA"],
    ["FFFFFF", "999999", "NormalAA"],
    ["1E90FF", "808080", "LargeAA"],
    ["CC3366", "F0F0F0", "NormalAAA"],
];

function ciede2000([l1, a1, b1], [l2, a2, b2]) {
    const rad = Math.PI / 180;
    const c7 = (c) => Math.pow(c, 7);
    const cBar = (Math.hypot(a1, b1) + Math.hypot(a2, b2)) / 2;
    const g = 0.5 * (1 - Math.sqrt(c7(cBar) / (c7(cBar) + Math.pow(25, 7))));
    const a1p = a1 * (1 + g), a2p = a2 * (1 + g);
    const c1p = Math.hypot(a1p, b1), c2p = Math.hypot(a2p, b2);
    const hue = (b, a) => (a === 0 && b === 0 ? 0 : (Math.atan2(b, a) / rad + 360) % 360);
    const h1p = hue(b1, a1p), h2p = hue(b2, a2p);
    const dL = l2 - l1, dC = c2p - c1p;
    let dh = 0;
    if (c1p * c2p !== 0) {
        dh = h2p - h1p;
        if (dh > 180) dh -= 360;
        else if (dh < -180) dh += 360;
    }
    const dH = 2 * Math.sqrt(c1p * c2p) * Math.sin((dh / 2) * rad);
    const lBar = (l1 + l2) / 2, cBarP = (c1p + c2p) / 2;
    let hBar = h1p + h2p;
    if (c1p * c2p !== 0) {
        hBar = Math.abs(h1p - h2p) <= 180 ? hBar / 2 : (hBar + (hBar < 360 ? 360 : -360)) / 2;
    }
    const t = 1 - 0.17 * Math.cos((hBar - 30) * rad) + 0.24 * Math.cos(2 * hBar * rad)
        + 0.32 * Math.cos((3 * hBar + 6) * rad) - 0.2 * Math.cos((4 * hBar - 63) * rad);
    const sL = 1 + (0.015 * (lBar - 50) ** 2) / Math.sqrt(20 + (lBar - 50) ** 2);
    const sC = 1 + 0.045 * cBarP, sH = 1 + 0.015 * cBarP * t;
    const rT = -2 * Math.sqrt(c7(cBarP) / (c7(cBarP) + Math.pow(25, 7)))
        * Math.sin(60 * Math.exp(-(((hBar - 275) / 25) ** 2)) * rad);
    return Math.sqrt((dL / sL) ** 2 + (dC / sC) ** 2 + (dH / sH) ** 2 + rT * (dC / sC) * (dH / sH));
}

const srgb = (hex) => new Color("srgb", [0, 2, 4].map((i) => parseInt(hex.slice(i, i + 2), 16) / 255));
const eightBits = (colour) => colour.coords.map((v) => Math.round(Math.min(1, Math.max(0, v)) * 255));
const hex = (rgb) => rgb.map((v) => v.toString(16).padStart(2, "0").toUpperCase()).join("");

console.log("// Made by make_contrast_suggestions_table.mjs with colorjs.io 0.7.1; do not edit.");
console.log("// { change, keep, level, { { colour, darker, distance }... } }");
for (const [change, keep, level] of cases) {
    const start = srgb(change).to("oklch");
    const [l0, c0, h0] = start.coords;
    const kept = srgb(keep);
    const found = [];
    for (const direction of [-1, 1]) {
        let previous = change;
        for (let step = 1; ; ++step) {
            const l = Math.min(1, Math.max(0, l0 + direction * step * 0.001));
            const mapped = new Color("oklch", [l, c0, Number.isNaN(h0) ? 0 : h0]).toGamut({ space: "srgb", method: "css" }).to("srgb");
            const rgb = eightBits(mapped);
            const code = hex(rgb);
            if (code !== previous) {
                const colour = new Color("srgb", rgb.map((v) => v / 255));
                if (Color.contrastWCAG21(colour, kept) >= thresholds[level]) {
                    const distance = ciede2000(srgb(change).to("lab-d65").coords, colour.to("lab-d65").coords);
                    found.push(`{ 0x${code}, ${direction < 0}, ${distance.toFixed(2)} }`);
                    break;
                }
                previous = code;
            }
            if (l <= 0 || l >= 1) {
                break;
            }
        }
    }
    console.log(`{ 0x${change}, 0x${keep}, ContrastLevel::${level}, { ${found.join(", ")} } },`);
}
