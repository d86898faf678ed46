// The usage text as a user sees it after "-?".
#pragma once

inline const char* const expected_usage_text =
    "\nUse: TARV name[.WDL] [options]"
    "\n -WDL <WDL file>  -WMP <WMP file>"
    "   -WRS <WRS file>"
    " -DIR path  Path for saving         -D name[,val]  Define name\n"
    " -NODE n    Node # (0..1)           -COM n         Com port # (1..4)\n"
    " -R    Demo Record Mode             -P    Demo Replay Mode\n"
    " -NJ   Disable joystick             -NM   Disable mouse\n"
    " -OS   Disable sound                -OM   Disable music\n"
    " -OCD  Disable CD audio             -OT   Disable sound,music,CD,timer\n"
    " -AD   Use Adlib/OPL2 (default)     -RO   Use Wavetable/MPU401 for music\n"
    " -- windows runtime module ---------------------------------------------\n"
    " -WND  Start in window mode         -3D_SIMEYE SimulEye Shutter glasses\n"
    " -IPX  IPX network mode             -MODEM     2-player via modem\n"
    " -TCP  TCP/IP network mode"
    "\n -?    Help";
