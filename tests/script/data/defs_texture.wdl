# Every field of the TEXTURE block.
BMAP b1, <frames.tx>, 0, 0, 2, 2;
BMAP b2, <frames.tx>, 2, 0, 2, 2;
BMAP b3, <frames.tx>, 4, 0, 2, 2;
BMAP b4, <frames.tx>, 0, 2, 2, 2;
BMAP b5, <frames.tx>, 2, 2, 2, 2;
BMAP b6, <frames.tx>, 4, 2, 2, 2;
FONT letters, <font.tx>, 8, 8;
SOUND hum, <hum.wav>;
FLIC movie, <movie.flc>;
MODEL box, <box.mdl>;
STRING hint, "Open me";
TEXTURE plain { SCALE_X 1.5; SCALE_Y 0.5; BMAP b1; }

TEXTURE walls {
    SIDES 2;
    CYCLES 3;
    BMAPS b1, b2, b3, b4, b5, b6;
    DELAY 2, 3, 4;
    SCYCLES 1, 0, 1;
    MIRROR 0, 1;
    OFFSET_X 1, 2, 3, 4, 5, 6;
    OFFSET_Y 0.5;
    SCALE_XY 2, 3;
    RANDOM 0.5;
    SOUND hum;
    SCYCLE 2;
    SDIST 10; SVDIST 20; SVOL 0.75;
    AMBIENT 1; ALBEDO 2; RADIANCE 3;
    POS_X 4; POS_Y 5;
    FAR_DIST 6; FAR_COLOR 7; MAP_COLOR 8;
    FONT letters;
    TOUCH hint;
    IF_TOUCH on_touch; IF_RELEASE on_release; IF_KLICK on_click;
    ATTACH plain;
    FLAGS ONESHOT, CONDENSED, SKY, SVIS, SLOOP, FLOOR, GHOST, SAVE, DIAPHANOUS, WALKING, NARROW,
          NO_CLIP, BEHIND, SHADOW, REFLECT, ROPE, LIGHTMAP, CLIP, STANDBY, WIRE, CLUSTER;
}
TEXTURE same { SCALE 4; FRAME 1; BMAPS NULL; }
TEXTURE film { FLIC movie; SCYCLE 3; }
TEXTURE solid { MODEL box; }
TEXTURE sign { FONT letters; TITLE "AB\nCDE"; }
