# Every top-level statement.
PATH "gfx";
BMAP_PATH "bmaps";
SOUND_PATH "sounds";
MUSIC_PATH "music";
MAPFILE level1.wmp;
RAROD 40;
DITHER 1;
CLIP_DIST 250.5;
LIGHT_ANGLE 0.75;
WAY patrol;
VIDEO s640x480;
BIND <keys.bnd>;
SAVEDIR "saves";
INCLUDE <defs_include.wdl>;
STRING after, "after the include";
