# The second level: reports the skills that came along and its own map, then goes back.
MAPFILE B.WMP;
PALETTE pal { PALFILE <PAL.PCX>; }
STRING nl, "\n";
STRING space, " ";

ACTION start {
    PRINTFILE "level", 0;
    PRINT_STRING "B ";
    PRINT_VALUE visits; PRINT_STRING space;
    PRINT_VALUE note; PRINT_STRING space;
    PRINT_VALUE plain; PRINT_STRING space;
    PRINT_VALUE door.LENGTH; PRINT_STRING space;
    PRINT_VALUE PLAYER_X; PRINT_STRING space;
    PRINT_VALUE HERE.FLOOR_HGT; PRINT_STRING nl;
    SET visits, 2;
    LEVEL "A.WDL";
}
IF_START start;
