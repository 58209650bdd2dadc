"""Writes colour_vision_reference.inc: what the public-domain DaltonLens reference
(DaltonLens-Python, its simulate module) gives for a set of colours, before rounding to 8 bits.

Run once, by hand, with numpy and a checkout of DaltonLens-Python (the table committed was made
from its commit 3cba5e6 with numpy 1.24):

    PYTHONPATH=/path/to/DaltonLens-Python python3 make_colour_vision_reference.py \
        > colour_vision_reference.inc

Severity 1 uses Simulator_Vienot1999 for protan and deutan and Simulator_Brettel1997 for tritan
(both with their default cone model); severities 0.1 to 0.9 use Simulator_Machado2009 on its
table's own rows only: between rows the reference weighs the two rows by the severity's distance
from the lower row instead of by that distance in row steps, so its results there are not taken.
Each row gives the sRGB components 0 to 255 as the reference computes them before it casts them
to 8 bits (it truncates where we round). The last rows are Simulator_Machado2009 at its row 1.0,
which our simulation reaches only between 0.9 and 1 (at 1 it simulates dichromacy); their
severity is written as 10 to keep them apart."""

import sys
import types

import numpy as np

# The package's command-line module wants PIL, which the simulation does not use.
sys.modules.setdefault("PIL", types.ModuleType("PIL")).Image = None
from daltonlens import convert, simulate  # noqa: E402

COLOURS = ["000000", "FFFFFF", "FF0000", "00FF00", "0000FF", "FFFF00", "00FFFF", "FF00FF",
           "FF8000", "777777", "336699", "CC3366", "99CC33", "E0B0FF", "1E90FF", "8B4513"]
SOME = ["FF0000", "00FF00", "0000FF", "FF8000", "336699", "99CC33"]
KINDS = {"Protan": simulate.Deficiency.PROTAN, "Deutan": simulate.Deficiency.DEUTAN,
         "Tritan": simulate.Deficiency.TRITAN}


def seen(simulator, colour, deficiency, severity):
    srgb = np.array([[[int(colour[i:i + 2], 16) for i in (0, 2, 4)]]], dtype=np.uint8)
    linear = convert.linearRGB_from_sRGB(convert.as_float32(srgb))
    cvd = simulator._simulate_cvd_linear_rgb(linear, deficiency, severity)
    return convert.sRGB_from_linearRGB(cvd).flatten() * 255.0


def main():
    print("// Made by make_colour_vision_reference.py from the DaltonLens reference; do not edit.")
    print("// { colour, kind, severity, { red, green, blue } } before rounding to 8 bits.")
    dichromat = {"Protan": simulate.Simulator_Vienot1999(), "Deutan": simulate.Simulator_Vienot1999(),
                 "Tritan": simulate.Simulator_Brettel1997()}
    for kind, deficiency in KINDS.items():
        for colour in COLOURS:
            r, g, b = seen(dichromat[kind], colour, deficiency, 1.0)
            print(f"{{ 0x{colour}, VisionKind::{kind}, 1.0, {{ {r:.4f}, {g:.4f}, {b:.4f} }} }},")
    machado = simulate.Simulator_Machado2009()
    for kind, deficiency in KINDS.items():
        for row in range(1, 10):
            for colour in SOME:
                r, g, b = seen(machado, colour, deficiency, row / 10)
                print(f"{{ 0x{colour}, VisionKind::{kind}, 0.{row}, "
                      f"{{ {r:.4f}, {g:.4f}, {b:.4f} }} }},")
    for kind, deficiency in KINDS.items():
        for colour in SOME:
            r, g, b = seen(machado, colour, deficiency, 1.0)
            print(f"{{ 0x{colour}, VisionKind::{kind}, 10, {{ {r:.4f}, {g:.4f}, {b:.4f} }} }},")


if __name__ == "__main__":
    main()
