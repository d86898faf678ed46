# Changes only the map, once: the script and its GLOBAL skill stay.
MAPFILE A.WMP;
PALETTE pal { PALFILE <PAL.PCX>; }
BMAP b, <PAL.PCX>;
TEXTURE t { BMAPS b; }
SKILL visits { TYPE GLOBAL; }
STRING nl, "\n";

ACTION start {
    PRINTFILE "map", 0;
    PRINT_VALUE visits; PRINT_STRING nl;
    PRINT_VALUE PLAYER_X; PRINT_STRING nl;
    PRINT_VALUE HERE.FLOOR_HGT; PRINT_STRING nl;
    IF (visits == 0) {
        SET visits, 1;
        MAP "B.WMP";
    } ELSE {
        EXIT;
    }
}
IF_START start;
