# Lifts the room the player stands in and reports what the map gave and what moved.
MAPFILE LIFT.WMP;
PALETTE pal { PALFILE <PAL.PCX>; }
BMAP stone_map, <PAL.PCX>;
TEXTURE stone_tex { BMAPS stone_map; }
WALL stone { TEXTURE stone_tex; }
THING crate { TEXTURE stone_tex; FLAGS GROUND; }
STRING nl, "\n";

ACTION start {
    PRINTFILE "lift", 0;
    PRINT_VALUE PLAYER_X; PRINT_STRING nl;
    PRINT_VALUE room.FLOOR_HGT; PRINT_STRING nl;
    PRINT_VALUE stone.LENGTH; PRINT_STRING nl;
    LIFT HERE, 2;
    PRINT_VALUE stone.Z1; PRINT_STRING nl;
    PRINT_VALUE crate.HEIGHT; PRINT_STRING nl;
    PRINT_VALUE lamp.Z; PRINT_STRING nl;
    LIFT HERE, 2;
    PRINT_VALUE stone.Z1; PRINT_STRING nl;
    WAIT 1;
    SET room.FLOOR_HGT, 1.5;
    LIFT room, 1.5;
    PRINT_VALUE stone.Z1; PRINT_STRING nl;
    PRINT_VALUE lamp.Z; PRINT_STRING nl;
    PRINT_VALUE crate.HEIGHT; PRINT_STRING nl;
}
IF_START start;
