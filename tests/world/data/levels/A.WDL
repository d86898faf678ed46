# The first level: goes to B once, and reports what came back with it.
MAPFILE A.WMP;
PALETTE pal { PALFILE <PAL.PCX>; }
SKILL visits { TYPE GLOBAL; }
SKILL note { TYPE LOCAL; VAL 0; }
SKILL plain { VAL 7; }
STRING nl, "\n";
STRING space, " ";

# Started before the change and still waiting when the level goes: its run must go with it.
ACTION waiter {
    WAIT 3;
    PRINT_STRING "waiter ran";
    PRINT_STRING nl;
}
IF_A waiter;

ACTION start {
    PRINTFILE "level", 0;
    IF (visits == 0) {
        PRINT_STRING "A first";
        PRINT_STRING nl;
        SET visits, 1;
        SET note, 5;
        SET plain, 9;
        CALL waiter;
        LEVEL "B.WDL";
    } ELSE {
        PRINT_STRING "A again ";
        PRINT_VALUE visits; PRINT_STRING space;
        PRINT_VALUE note; PRINT_STRING space;
        PRINT_VALUE plain; PRINT_STRING space;
        PRINT_VALUE brick.LENGTH; PRINT_STRING space;
        PRINT_VALUE PLAYER_X; PRINT_STRING nl;
        EXIT;
    }
}
IF_START start;
