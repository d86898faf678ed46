# Reads its own definitions again (SCAN) into the objects the map made.
MAPFILE A.WMP;
PALETTE pal { PALFILE <PAL.PCX>; }
BMAP b, <PAL.PCX>;
TEXTURE t { BMAPS b; }
WALL brick { TEXTURE t; OFFSET_Y 2; }
SKILL visits { TYPE GLOBAL; }
STRING nl, "\n";

ACTION start {
    PRINTFILE "scan", 0;
    PRINT_VALUE visits; PRINT_STRING nl;
    PRINT_VALUE brick.LENGTH; PRINT_STRING nl;
    PRINT_VALUE brick.OFFSET_Y; PRINT_STRING nl;
    IF (visits == 0) {
        SET visits, 1;
        SCAN "R.WDL";
    } ELSE {
        EXIT;
    }
}
IF_START start;
