// Makes the reference tables of colour_reference_test.cpp with colorjs.io, the CSS Color 4
// editors' own library: run `npm install colorjs.io@0.7.1` in a scratch folder, then
// `node make_css_color_tables.mjs > css_color_reference_tables.h` there with this file copied in. The
// tests read the committed output and need neither network nor npm.
//
// Table 1: the cases of web-platform-tests css/css-color/parsing (color-valid-rgb, -hsl, -hwb,
// -lab, -color-function, color-computed-hsl, color-invalid, color-invalid-color-function) with the
// 8-bit sRGB colour their expected value gives after CSS Color 4's gamut mapping, or refused.
// Table 2: random colours in each notation, out of sRGB ones included.
import Color from "colorjs.io";

const cases = []; // [input, expected value or null for an invalid one]
const valid = (input, expected) => cases.push([input, expected]);
const invalid = (input) => cases.push([input, null]);

// color-valid-rgb.html (the calc() cases are out of scope)
for (const f of ["rgb", "rgba"]) {
    valid(`${f}(none none none)`, "rgb(0, 0, 0)");
    valid(`${f}(none none none / none)`, "rgba(0, 0, 0, 0)");
    valid(`${f}(128 none none)`, "rgb(128, 0, 0)");
    valid(`${f}(128 none none / none)`, "rgba(128, 0, 0, 0)");
    valid(`${f}(none none none / .5)`, "rgba(0, 0, 0, 0.5)");
    valid(`${f}(20% none none)`, "rgb(51, 0, 0)");
    valid(`${f}(20% none none / none)`, "rgba(51, 0, 0, 0)");
    valid(`${f}(none none none / 50%)`, "rgba(0, 0, 0, 0.5)");
    valid(`${f}(-2 3 4)`, "rgb(0, 3, 4)");
    valid(`${f}(-20% 20% 40%)`, "rgb(0, 51, 102)");
    valid(`${f}(257 30 40)`, "rgb(255, 30, 40)");
    valid(`${f}(250% 20% 40%)`, "rgb(255, 51, 102)");
}
valid("rgba(-2 3 4 / .5)", "rgba(0, 3, 4, 0.5)");
valid("rgba(-20% 20% 40% / 50%)", "rgba(0, 51, 102, 0.5)");
valid("rgba(257 30 40 / 50%)", "rgba(255, 30, 40, 0.5)");
valid("rgba(250% 20% 40% / .5)", "rgba(255, 51, 102, 0.5)");

// color-valid-hsl.html and color-computed-hsl.html
for (const [input, expected] of [
    ["hsl(120 30% 50%)", "rgb(89, 166, 89)"], ["hsl(120 30% 50% / 0.5)", "rgba(89, 166, 89, 0.5)"],
    ["hsl(120 30% 50% / 50%)", "rgba(89, 166, 89, 0.5)"],
    ["hsl(none none none)", "rgb(0, 0, 0)"], ["hsl(0 0% 0%)", "rgb(0, 0, 0)"],
    ["hsl(none none none / none)", "rgba(0, 0, 0, 0)"], ["hsl(0 0% 0% / 0)", "rgba(0, 0, 0, 0)"],
    ["hsla(none none none)", "rgb(0, 0, 0)"], ["hsla(0 0% 0%)", "rgb(0, 0, 0)"],
    ["hsla(none none none / none)", "rgba(0, 0, 0, 0)"], ["hsla(0 0% 0% / 0)", "rgba(0, 0, 0, 0)"],
    ["hsl(120 none none)", "rgb(0, 0, 0)"], ["hsl(120 0% 0%)", "rgb(0, 0, 0)"],
    ["hsl(120 80% none)", "rgb(0, 0, 0)"], ["hsl(120 80% 0%)", "rgb(0, 0, 0)"],
    ["hsl(120 none 50%)", "rgb(128, 128, 128)"], ["hsl(120 0% 50%)", "rgb(128, 128, 128)"],
    ["hsl(120 100% 50% / none)", "rgba(0, 255, 0, 0)"], ["hsl(120 100% 50% / 0)", "rgba(0, 255, 0, 0)"],
    ["hsl(120 100% 50% / 0%)", "rgba(0, 255, 0, 0)"],
    ["hsl(none 100% 50%)", "rgb(255, 0, 0)"], ["hsl(0 100% 50%)", "rgb(255, 0, 0)"],
    ["hsl(10 100% 50%)", "rgb(255, 43, 0)"], ["hsl(0 0% 49.99999%)", "rgb(127, 127, 127)"],
    ["hsl(0 0% 49.999999%)", "rgb(128, 128, 128)"],
    ["hsl(120 30 50)", "rgb(89, 166, 89)"], ["hsl(120 30 50 / 0.5)", "rgba(89, 166, 89, 0.5)"],
    ["hsl(120 30% 50)", "rgb(89, 166, 89)"], ["hsl(120 30% 50 / 0.5)", "rgba(89, 166, 89, 0.5)"],
    ["hsl(120 30 50%)", "rgb(89, 166, 89)"], ["hsl(120 30 50% / 0.5)", "rgba(89, 166, 89, 0.5)"],
    ["hsl(120 none 50)", "rgb(128, 128, 128)"], ["hsl(120 none 50 / 0.5)", "rgba(128, 128, 128, 0.5)"],
    ["hsl(120 30 none)", "rgb(0, 0, 0)"], ["hsl(120 30 none / 0.5)", "rgba(0, 0, 0, 0.5)"],
    ["hsl(120 30 50 / none)", "rgba(89, 166, 89, 0)"],
    ["hsl(0 -50% 40%)", "rgb(102, 102, 102)"], ["hsl(30 -50% 60)", "rgb(153, 153, 153)"],
    ["hsl(0 -50 40%)", "rgb(102, 102, 102)"], ["hsl(30 -50 60)", "rgb(153, 153, 153)"],
    ["HSL(0, 0%, 0%)", "rgb(0, 0, 0)"], ["hsL(0, 100%, 50%)", "rgb(255, 0, 0)"],
    ["hsl(60, 100%, 37.5%)", "rgb(191, 191, 0)"], ["hsl(780, 100%, 37.5%)", "rgb(191, 191, 0)"],
    ["hsl(-300, 100%, 37.5%)", "rgb(191, 191, 0)"], ["hsl(300, 50%, 50%)", "rgb(191, 64, 191)"],
    ["hsl(30deg, 100%, 100%)", "rgb(255, 255, 255)"], ["hsl(0, 0%, 0%, 0%)", "rgba(0, 0, 0, 0)"],
    ["HSLA(-300, 100%, 37.5%, 1)", "rgb(191, 191, 0)"], ["hsLA(-300, 100%, 37.5%, 12)", "rgb(191, 191, 0)"],
    ["hsla(-300, 100%, 37.5%, 0.2)", "rgba(191, 191, 0, 0.2)"], ["hsla(-300, 100%, 37.5%, 0)", "rgba(191, 191, 0, 0)"],
    ["hsla(-300, 100%, 37.5%, -3)", "rgba(191, 191, 0, 0)"], ["hsla(0, 0%, 0%, 50%)", "rgba(0, 0, 0, 0.5)"],
    ["hsla(30deg, 100%, 100%, 1)", "rgb(255, 255, 255)"],
]) valid(input, expected);

// color-valid-hwb.html
for (const [input, expected] of [
    ["hwb(120 30% 50%)", "rgb(77, 128, 77)"], ["hwb(120 30% 50% / 0.5)", "rgba(77, 128, 77, 0.5)"],
    ["hwb(none none none)", "rgb(255, 0, 0)"], ["hwb(0 0% 0%)", "rgb(255, 0, 0)"],
    ["hwb(none none none / none)", "rgba(255, 0, 0, 0)"], ["hwb(0 0% 0% / 0)", "rgba(255, 0, 0, 0)"],
    ["hwb(120 none none)", "rgb(0, 255, 0)"], ["hwb(120 0% 0%)", "rgb(0, 255, 0)"],
    ["hwb(120 80% none)", "rgb(204, 255, 204)"], ["hwb(120 80% 0%)", "rgb(204, 255, 204)"],
    ["hwb(120 none 50%)", "rgb(0, 128, 0)"], ["hwb(120 0% 50%)", "rgb(0, 128, 0)"],
    ["hwb(120 30% 50% / none)", "rgba(77, 128, 77, 0)"], ["hwb(120 30% 50% / 0)", "rgba(77, 128, 77, 0)"],
    ["hwb(none 100% 50% / none)", "rgba(170, 170, 170, 0)"], ["hwb(0 100% 50% / 0)", "rgba(170, 170, 170, 0)"],
    ["hwb(120 30 50)", "rgb(77, 128, 77)"], ["hwb(120 30 50 / 0.5)", "rgba(77, 128, 77, 0.5)"],
    ["hwb(120 30% 50)", "rgb(77, 128, 77)"], ["hwb(120 30% 50 / 0.5)", "rgba(77, 128, 77, 0.5)"],
    ["hwb(120 30 50%)", "rgb(77, 128, 77)"], ["hwb(120 30 50% / 0.5)", "rgba(77, 128, 77, 0.5)"],
    ["hwb(120 none 50)", "rgb(0, 128, 0)"], ["hwb(120 none 50 / 0.5)", "rgba(0, 128, 0, 0.5)"],
    ["hwb(120 30 none)", "rgb(77, 255, 77)"], ["hwb(120 30 none / 0.5)", "rgba(77, 255, 77, 0.5)"],
    ["hwb(120 30 50 / none)", "rgba(77, 128, 77, 0)"],
    ["hwb(320deg 30% 40%)", "rgb(153, 77, 128)"], ["hwb(0deg 10% 50%)", "rgb(128, 26, 26)"],
    ["hwb(120deg 10% 50%)", "rgb(26, 128, 26)"], ["hwb(0 20% 100%)", "rgb(43, 43, 43)"],
]) valid(input, expected);

// color-valid-lab.html (expected values as the file gives them; none is 0)
for (const [input, expected] of [
    ["lab(0 0 0)", "lab(0 0 0)"], ["lab(0 0 0 / 1)", "lab(0 0 0)"], ["lab(0 0 0 / 0.5)", "lab(0 0 0 / 0.5)"],
    ["lab(20 0 10/0.5)", "lab(20 0 10 / 0.5)"], ["lab(20 0 10/50%)", "lab(20 0 10 / 0.5)"],
    ["lab(400 0 10/50%)", "lab(100 0 10 / 0.5)"], ["lab(50 -160 160)", "lab(50 -160 160)"],
    ["lab(50 -200 200)", "lab(50 -200 200)"], ["lab(0 0 0 / -10%)", "lab(0 0 0 / 0)"],
    ["lab(0 0 0 / 110%)", "lab(0 0 0)"], ["lab(0 0 0 / 300%)", "lab(0 0 0)"], ["lab(-40 0 0)", "lab(0 0 0)"],
    ["lab(50 -20 0)", "lab(50 -20 0)"], ["lab(50 0 -20)", "lab(50 0 -20)"],
    ["lab(none none none / none)", "lab(0 0 0 / 0)"], ["lab(none none none)", "lab(0 0 0)"],
    ["lab(20 none none / none)", "lab(20 0 0 / 0)"], ["lab(none none none / 0.5)", "lab(0 0 0 / 0.5)"],
    ["lab(0 0 0 / none)", "lab(0 0 0 / 0)"],
    ["oklab(0 0 0)", "oklab(0 0 0)"], ["oklab(0 0 0 / 1)", "oklab(0 0 0)"], ["oklab(0 0 0 / 0.5)", "oklab(0 0 0 / 0.5)"],
    ["oklab(0.2 0 0.1/0.5)", "oklab(0.2 0 0.1 / 0.5)"], ["oklab(0.2 0 0.1/50%)", "oklab(0.2 0 0.1 / 0.5)"],
    ["oklab(4 0 0.1/50%)", "oklab(1 0 0.1 / 0.5)"], ["oklab(0.5 -1.6 1.6)", "oklab(0.5 -1.6 1.6)"],
    ["oklab(0.5 -2 2)", "oklab(0.5 -2 2)"], ["oklab(0 0 0 / -10%)", "oklab(0 0 0 / 0)"],
    ["oklab(0 0 0 / 110%)", "oklab(0 0 0)"], ["oklab(0 0 0 / 300%)", "oklab(0 0 0)"], ["oklab(-0.4 0 0)", "oklab(0 0 0)"],
    ["oklab(0.5 -2 0)", "oklab(0.5 -2 0)"], ["oklab(0.5 0 -2)", "oklab(0.5 0 -2)"],
    ["oklab(none none none / none)", "oklab(0 0 0 / 0)"], ["oklab(none none none)", "oklab(0 0 0)"],
    ["oklab(0.2 none none / none)", "oklab(0.2 0 0 / 0)"], ["oklab(none none none / 0.5)", "oklab(0 0 0 / 0.5)"],
    ["oklab(0 0 0 / none)", "oklab(0 0 0 / 0)"],
    ["lch(0 0 0deg)", "lch(0 0 0)"], ["lch(0 0 0deg / 1)", "lch(0 0 0)"], ["lch(0 0 0deg / 0.5)", "lch(0 0 0 / 0.5)"],
    ["lch(100 230 0deg / 0.5)", "lch(100 230 0 / 0.5)"], ["lch(20 50 20deg/0.5)", "lch(20 50 20 / 0.5)"],
    ["lch(20 50 20deg/50%)", "lch(20 50 20 / 0.5)"], ["lch(10 20 20deg / -10%)", "lch(10 20 20 / 0)"],
    ["lch(10 20 20deg / 110%)", "lch(10 20 20)"], ["lch(10 20 1.28rad)", "lch(10 20 73.3386)"],
    ["lch(10 20 380deg)", "lch(10 20 20)"], ["lch(10 20 -340deg)", "lch(10 20 20)"],
    ["lch(10 20 740deg)", "lch(10 20 20)"], ["lch(10 20 -700deg)", "lch(10 20 20)"], ["lch(-40 0 0)", "lch(0 0 0)"],
    ["lch(20 -20 0)", "lch(20 0 0)"], ["lch(0 0 0 / 0.5)", "lch(0 0 0 / 0.5)"], ["lch(10 20 20 / 110%)", "lch(10 20 20)"],
    ["lch(10 20 -700)", "lch(10 20 20)"],
    ["lch(none none none / none)", "lch(0 0 0 / 0)"], ["lch(none none none)", "lch(0 0 0)"],
    ["lch(20 none none / none)", "lch(20 0 0 / 0)"], ["lch(none none none / 0.5)", "lch(0 0 0 / 0.5)"],
    ["lch(0 0 0 / none)", "lch(0 0 0 / 0)"],
    ["oklch(0 0 0deg)", "oklch(0 0 0)"], ["oklch(0 0 0deg / 1)", "oklch(0 0 0)"], ["oklch(0 0 0deg / 0.5)", "oklch(0 0 0 / 0.5)"],
    ["oklch(1 2.3 0deg / 0.5)", "oklch(1 2.3 0 / 0.5)"], ["oklch(0.2 0.5 20deg/0.5)", "oklch(0.2 0.5 20 / 0.5)"],
    ["oklch(0.2 0.5 20deg/50%)", "oklch(0.2 0.5 20 / 0.5)"], ["oklch(0.1 0.2 20deg / -10%)", "oklch(0.1 0.2 20 / 0)"],
    ["oklch(0.1 0.2 20deg / 110%)", "oklch(0.1 0.2 20)"], ["oklch(0.1 0.2 1.28rad)", "oklch(0.1 0.2 73.3386)"],
    ["oklch(0.1 0.2 380deg)", "oklch(0.1 0.2 20)"], ["oklch(0.1 0.2 -340deg)", "oklch(0.1 0.2 20)"],
    ["oklch(0.1 0.2 740deg)", "oklch(0.1 0.2 20)"], ["oklch(0.1 0.2 -700deg)", "oklch(0.1 0.2 20)"],
    ["oklch(-4 0 0)", "oklch(0 0 0)"], ["oklch(0.2 -0.2 0)", "oklch(0.2 0 0)"], ["oklch(0 0 0 / 0.5)", "oklch(0 0 0 / 0.5)"],
    ["oklch(0.1 0.2 20 / 110%)", "oklch(0.1 0.2 20)"], ["oklch(0.1 0.2 -700)", "oklch(0.1 0.2 20)"],
    ["oklch(none none none / none)", "oklch(0 0 0 / 0)"], ["oklch(none none none)", "oklch(0 0 0)"],
    ["oklch(0.2 none none / none)", "oklch(0.2 0 0 / 0)"], ["oklch(none none none / 0.5)", "oklch(0 0 0 / 0.5)"],
    ["oklch(0 0 0 / none)", "oklch(0 0 0 / 0)"],
]) valid(input, expected);

// color-valid-color-function.html
for (const s of ["srgb", "srgb-linear", "a98-rgb", "rec2020", "prophoto-rgb", "display-p3"]) {
    for (const [input, expected] of [
        ["0% 0% 0%", "0 0 0"], ["10% 10% 10%", "0.1 0.1 0.1"], [".2 .2 25%", "0.2 0.2 0.25"],
        ["0 0 0 / 1", "0 0 0"], ["0% 0 0 / 0.5", "0 0 0 / 0.5"], ["20% 0 10/0.5", "0.2 0 10 / 0.5"],
        ["20% 0 10/50%", "0.2 0 10 / 0.5"], ["400% 0 10/50%", "4 0 10 / 0.5"], ["50% -160 160", "0.5 -160 160"],
        ["50% -200 200", "0.5 -200 200"], ["0 0 0 / -10%", "0 0 0 / 0"], ["0 0 0 / 110%", "0 0 0"],
        ["0 0 0 / 300%", "0 0 0"], ["200 200 200", "200 200 200"], ["200 200 200 / 200", "200 200 200"],
        ["-200 -200 -200", "-200 -200 -200"], ["-200 -200 -200 / -200", "-200 -200 -200 / 0"],
        ["200% 200% 200%", "2 2 2"], ["200% 200% 200% / 200%", "2 2 2"], ["-200% -200% -200% / -200%", "-2 -2 -2 / 0"],
        ["none none none / none", "0 0 0 / 0"], ["none none none", "0 0 0"], ["10% none none / none", "0.1 0 0 / 0"],
        ["none none none / 0.5", "0 0 0 / 0.5"], ["0 0 0 / none", "0 0 0 / 0"],
    ]) valid(`color(${s} ${input})`, `color(${s} ${expected})`);
}
for (const s of ["xyz", "xyz-d50", "xyz-d65"]) {
    const r = s == "xyz" ? "xyz-d65" : s;
    for (const [input, expected] of [
        ["0 0 0", "0 0 0"], ["0 0 0 / 1", "0 0 0"], ["1 1 1", "1 1 1"], ["1 1 1 / 1", "1 1 1"],
        ["-1 -1 -1", "-1 -1 -1"], ["0.1 0.1 0.1", "0.1 0.1 0.1"], ["10 10 10", "10 10 10"],
        [".2 .2 .25", "0.2 0.2 0.25"], ["0 0 0 / 0.5", "0 0 0 / 0.5"], [".20 0 10/0.5", "0.2 0 10 / 0.5"],
        [".20 0 10/50%", "0.2 0 10 / 0.5"], ["0 0 0 / -10%", "0 0 0 / 0"], ["0 0 0 / 110%", "0 0 0"],
        ["0 0 0 / 300%", "0 0 0"], ["none none none / none", "0 0 0 / 0"], ["none none none", "0 0 0"],
        ["0.2 none none / none", "0.2 0 0 / 0"], ["none none none / 0.5", "0 0 0 / 0.5"], ["0 0 0 / none", "0 0 0 / 0"],
    ]) valid(`color(${s} ${input})`, `color(${r} ${expected})`);
}

// color-invalid.html and color-invalid-color-function.html
for (const input of ["auto", "123", "#12", "#123456789", "rgb", "rgb(1)", "rgb(1,2,3,4,5)",
    "hsla(1,2,3,4,5)", "rgb(10%, 20, 30%)", "rgba(-2, 300, 400%, -0.5)", "hwba(120 30% 50%)",
    "hwba(120 30% 50% / 0.5)"]) invalid(input);
for (const s of ["srgb", "srgb-linear", "a98-rgb", "rec2020", "prophoto-rgb", "xyz", "xyz-d50", "xyz-d65"]) {
    for (const rest of ["0 0 0 0", "0deg 0% 0", "0% 0 0 1", "0% 0 0 10%", "0% 0 0deg", "0% 0% 0deg", "40% 0 0deg"])
        invalid(`color(${s} ${rest})`);
}
for (const s of ["xyz", "xyz-d50", "xyz-d65"]) invalid(`color(${s} 0% 0 0)`); // older than the current text
for (const s of ["lab", "oklab"]) {
    for (const rest of ["0% 0 0 1", "0% 0 0 10%", "0% 0 0deg", "0% 0% 0deg", "40% 0 0deg"]) invalid(`${s}(${rest})`);
    invalid(`color(${s} 20% 0 10 / 50%)`);
}
for (const s of ["lch", "oklch"]) {
    invalid(`${s}(20% 10 10deg 10)`);
    invalid(`${s}(20% 10 10deg 10 / 0.5)`);
    invalid(`color(${s} 20% 0 10 / 50%)`);
}

function eightBits(color) {
    const mapped = color.toGamut({ space: "srgb", method: "css" }).to("srgb");
    return mapped.coords.map((c) => Math.min(255, Math.max(0, Math.round((Number.isNaN(c) ? 0 : c) * 255))));
}

function quoted(text) {
    return JSON.stringify(text);
}

console.log("// Made by make_css_color_tables.mjs with colorjs.io 0.7.1; do not edit.");
console.log("#pragma once\n");
console.log("// The cases of web-platform-tests' css-color parsing files: refused, or fully transparent");
console.log("// (which the reader refuses), or the 8-bit colour of the expected value.");
console.log("struct WptCase\n{\n    const char* input;\n    bool refused;\n    bool transparent;\n    int red, green, blue;\n};\n");
console.log("inline constexpr WptCase wptCases[] = {");
for (const [input, expected] of cases) {
    if (expected === null) {
        console.log(`    { ${quoted(input)}, true, false, 0, 0, 0 },`);
        continue;
    }
    const color = new Color(expected);
    const transparent = (Number.isNaN(color.alpha) ? 0 : color.alpha) <= 0;
    const [r, g, b] = eightBits(color.clone());
    console.log(`    { ${quoted(input)}, false, ${transparent}, ${r}, ${g}, ${b} },`);
}
console.log("};\n");

// Random colours in each notation, with a fixed seed so that the table can be made again.
let seed = 20261211;
function random() {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    return seed / 2147483648;
}
const fixed = (x, d) => Number(x.toFixed(d));
const notations = [
    () => `lab(${fixed(random() * 100, 2)} ${fixed(random() * 250 - 125, 2)} ${fixed(random() * 250 - 125, 2)})`,
    () => `lch(${fixed(random() * 100, 2)}% ${fixed(random() * 150, 2)} ${fixed(random() * 360, 2)})`,
    () => `oklab(${fixed(random(), 4)} ${fixed(random() * 0.8 - 0.4, 4)} ${fixed(random() * 0.8 - 0.4, 4)})`,
    () => `oklch(${fixed(random() * 100, 2)}% ${fixed(random() * 0.4, 4)} ${fixed(random() * 360, 2)})`,
    () => `hwb(${fixed(random() * 360, 1)} ${fixed(random() * 60, 1)}% ${fixed(random() * 60, 1)}%)`,
    () => `hsl(${fixed(random() * 360, 2)} ${fixed(random() * 100, 2)}% ${fixed(random() * 100, 2)}%)`,
    ...["srgb", "srgb-linear", "display-p3", "a98-rgb", "prophoto-rgb", "rec2020", "xyz", "xyz-d50", "xyz-d65"].map(
        (s) => () => `color(${s} ${fixed(random() * 1.2 - 0.1, 4)} ${fixed(random() * 1.2 - 0.1, 4)} ${fixed(random() * 1.2 - 0.1, 4)})`),
];
console.log("// Random colours in each notation as colorjs.io maps them into sRGB.");
console.log("struct ColorjsCase\n{\n    const char* input;\n    int red, green, blue;\n    bool outOfGamut;\n};\n");
console.log("inline constexpr ColorjsCase colorjsCases[] = {");
for (const make of notations) {
    for (let i = 0; i < 200; ++i) {
        const input = make();
        const color = new Color(input);
        const srgb = color.to("srgb").coords; // before the mapping, which may change color
        const [r, g, b] = eightBits(color.clone());
        const outside = srgb.some((c) => c < -0.5 / 255 || c > 1 + 0.5 / 255);
        console.log(`    { ${quoted(input)}, ${r}, ${g}, ${b}, ${outside} },`);
    }
}
console.log("};");
