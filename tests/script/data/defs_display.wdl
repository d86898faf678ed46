# Every field of the PANEL, OVERLAY, TEXT and VIEW blocks.
VIDEO 320x200;
BMAP back, <panel.tx>;
BMAP knob, <knob.tx>;
BMAP press, <knob.tx>;
BMAP strip, <panel.tx>;
FONT nums, <font.tx>, 8, 8;
OVLY o1, <knob.tx>;
OVLY o2, <knob.tx>;
OVLY o3, <knob.tx>;
OVLY o4, <panel.tx>;
SKILL volume { MIN 0; MAX 10; VAL 5; }
SKILL score { VAL 0; }
TEXTURE pic { BMAPS knob; }
STRING caption, "Menu";
THING lamp { TEXTURE pic; }

OVERLAY cursor {
    SIDES 2;
    CYCLES 2;
    OVLYS o1, o2, o3, o4;
    DELAY 3, 4;
    SIDE 1;
    POS_X 5;
    POS_Y 6;
    LAYER 7;
    FLAGS ABSPOS, VISIBLE;
}

PANEL hud {
    PAN_MAP back;
    MASK strip;
    IF_KLICK hud_click;
    POS_X 10;
    POS_Y 20;
    LAYER 3;
    BUTTON 1, 2, press, knob, on_press, on_release;
    BUTTON 3, 4, press, NULL, NULL, NULL;
    HSLIDER 5, 6, 44, knob, volume;
    VSLIDER 7, 8, -26, knob, volume;
    PICTURE 9, 10, pic, score;
    WINDOW 11, 12, 8, 4, back, score, PLAYER_X;
    HBAR 13, 14, 6, strip, 2, score;
    VBAR 15, 16, 3, strip, 0.5, lamp.SKILL1;
    DIGITS 17, 18, 4, nums, 1, score;
    MTEXT 19, 20, nums, knob, press, caption, on_menu;
    MTEXT 21, 22, NULL, NULL, NULL, "literal", NULL;
    MSPRITE cursor;
    FLAGS REFRESH, TRANSPARENT, RELPOS, VISIBLE;
}

# Without PAN_MAP the panel is as large as its buttons, sliders and digits.
PANEL bare {
    BUTTON 10, 10, knob, NULL, NULL, NULL;
    HSLIDER 0, 30, 50, knob, volume;
    DIGITS 2, 40, 3, nums, 1, score;
}

TEXT message {
    POS_X 1;
    POS_Y 2;
    LAYER 4;
    INDEX 2;
    SIZE_Y 30;
    OFFSET_Y 3;
    VIEWPOS 1;
    FONT nums;
    FLAGS CONDENSED, CENTER, NARROW, VISIBLE;
    STRINGS 3;
    STRING caption, "second";
    DEF_STR "filler";
}

VIEW map_view {
    POS_X 10;
    POS_Y 20;
    SIZE_X 400;
    SIZE_Y 100;
    LAYER 2;
    GENIUS lamp;
    FLAGS VISIBLE;
}
