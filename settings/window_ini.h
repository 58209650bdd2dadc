#pragma once

class TIniBrel;

/// Gives ini the properties the window's settings component is laid out with, so that whoever
/// works on the window's settings file finds the same file: beside the program, or the user's
/// own when the program is installed (ddApplication), with no fence characters. Leaves ini
/// loading; the caller sets what else it needs and then completes the loading.
void SetWindowIniProperties(TIniBrel& ini);
