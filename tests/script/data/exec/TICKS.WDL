# WAIT, WAIT_TICKS, an EACH_TICK action waiting in place, EACH_SEC and the random
# generator over 160 simulation steps, written to "ticks0.TXT"; the game ends at the 160th
# step. In deterministic mode the file is the same on every run.
PALETTE pal { }
STRING nl, "\n";

SKILL steps { VAL 0; }
SKILL rounds { VAL 0; }

ACTION line {
    PRINT_VALUE steps;
    PRINT_STRING " ";
    PRINT_VALUE TOTAL_FRAMES;
    PRINT_STRING " ";
    PRINT_VALUE RANDOM;
    PRINT_STRING nl;
}

ACTION counter {
    ADD steps, 1;
    IF (steps == 160) {
        PRINT_STRING "exit ";
        CALL line;
        EXIT;
    }
}

# Waits five frames in place, then reports and starts over on the next tick.
ACTION pulse {
    WAIT 5;
    PRINT_STRING "pulse ";
    CALL line;
}

ACTION second {
    PRINT_STRING "sec ";
    PRINT_VALUE SECS;
    PRINT_STRING " ";
    CALL line;
}

ACTION start {
    PRINTFILE "ticks", 0;
    PRINT_STRING "start ";
    CALL line;
    WAIT 3;
    PRINT_STRING "wait3 ";
    CALL line;
    WAIT_TICKS 16;
    PRINT_STRING "ticks16 ";
    CALL line;
    WHILE (rounds < 4) {
        WAIT_TICKS 5;
        ADD rounds, 1;
        PRINT_STRING "round ";
        CALL line;
    }
}

EACH_TICK counter, pulse;
EACH_SEC second;
IF_START start;
