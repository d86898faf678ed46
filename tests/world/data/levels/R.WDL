# Reads its own definitions again (SCAN) into the objects the map made.
MAPFILE A.WMP;
PALETTE pal { PALFILE <PAL.PCX>; }
BMAP b, <PAL.PCX>;
TEXTURE t { BMAPS b; }
WALL brick { TEXTURE t; OFFSET_Y 2; }
SKILL visits { TYPE GLOBAL; }
STRING nl, "\n";

# Started before the change and still waiting when the level goes: its run must go with it.
ACTION waiter {
    WAIT 3;
    PRINT_STRING "waiter ran";
    PRINT_STRING nl;
}
IF_A waiter;

ACTION start {
    PRINTFILE "scan", 0;
    PRINT_VALUE visits; PRINT_STRING nl;
    PRINT_VALUE brick.LENGTH; PRINT_STRING nl;
    PRINT_VALUE brick.OFFSET_Y; PRINT_STRING nl;
    IF (visits == 0) {
        SET visits, 1;
        CALL waiter;
        SCAN "R.WDL";
    } ELSE {
        EXIT;
    }
}
IF_START start;
