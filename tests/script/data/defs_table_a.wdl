# Every one-line definition of table A, in the order of the table.
BMAP wall, <wall.tx>;
BMAP wall_part, <wall.tx>, 1, 2, 3, 2;
SOUND boom, <boom.wav>;
MUSIC tune, <TUNE.MID>;
MIDI_PITCH 2;
DRUMBANK <drums.bnk>;
IBANK <instr.bnk>;
WBANK <waves.bnk>;
OVLY arrow, <wall.tx>, 0, 0, 2, 2;
FONT digits, <font.tx>, 8, 8;
STRING hello, "Hello\nworld";
STRING nothing, NULL;
FLIC intro, <intro.flc>;
MODEL cube, <cube.mdl>;

# The blocks the lists below refer to.
OVERLAY pointer { OVLYS arrow; }
TEXTURE sky { BMAPS wall; FLAGS SKY; }
PANEL status { PAN_MAP wall; }
TEXT line { FONT digits; STRING hello; }

LAYERS pointer, NULL, pointer;
MSPRITE pointer;
BACKDROP sky;
PANELS NULL, status;
DISPLAY_PANEL status;
MESSAGES line, NULL;
TEXTS NULL, line;
EACH_SEC every_second, NULL, other_second;
EACH_TICK every_tick;
ASPECT 1.25;
KEY_SENSE 0.5;
MOUSE_SENSE 2;
JOY_SENSE 0.25;
FLAGS FLAG1, FLAG8, CLIPPED;

IF_START start;
IF_LOAD loaded;
IF_F2 save_now;
IF_ENTER confirm;
if_a letter_a;
IF_LEFT left_click;
IF_MIDDLE NULL;
IF_RIGHT right_click;
IF_TAST any_key;
IF_JOY4 joy_button;
IF_KLICK view_click;
IF_MSTOP mouse_stopped;
