# The demo game. It grows with every capability the engine gains.
# The level: a hall with a raised alcove (DEMO.WMP); every level needs a palette.
MAPFILE DEMO.WMP;
VIDEO S640x480;

# Colours and pictures, made by make_pictures.py in this folder.
PALETTE demo {
    PALFILE <DEMO.PCX>;
    RANGE 16, 16;       # stone, light to dark
    RANGE 32, 16;       # sky
    RANGE 48, 16;       # wood
}
BMAP stone_picture, <DEMO.PCX>;
BMAP stone_corner, <DEMO.PCX>, 0, 0, 32, 32;
BMAP sky_picture, <SKY.PCX>;
BMAP pillar_picture, <WOOD.PCX>;
FONT digits, <DIGITS.PCX>, 8, 8;

SKILL visits { VAL 0; MIN 0; MAX 999; TYPE GLOBAL; }
SKILL seconds { VAL 0; MIN 0; MAX 999; }

TEXTURE stone_wall { SCALE_XY 16, 16; BMAPS stone_picture; }
TEXTURE stone_floor { SCALE_XY 16, 16; CYCLES 2; BMAPS stone_picture, stone_corner; DELAY 32, 16; }
TEXTURE sky { BMAPS sky_picture; FLAGS SKY; }
TEXTURE pillar_wood { SCALE_XY 16, 16; BMAPS pillar_picture; }
BACKDROP sky;

WALL stone { TEXTURE stone_wall; }
WALL step { TEXTURE stone_wall; OFFSET_Y 2; }
THING pillar { TEXTURE pillar_wood; FLAGS GROUND; }
REGION hall { FLOOR_TEX stone_floor; CEIL_TEX sky; AMBIENT 0.25; }
REGION alcove { FLOOR_TEX stone_wall; CEIL_TEX sky; }

# A clock of the seconds played, in the top left corner.
PANEL clock {
    POS_X 8;
    POS_Y 8;
    LAYER 1;
    DIGITS 0, 0, 3, digits, 1, seconds;
    FLAGS VISIBLE;
}
PANELS clock;

ACTION count_seconds { ADD seconds, 1; }
EACH_SEC count_seconds;
ACTION welcome { ADD visits, 1; }
IF_START welcome;
