# Every small block: SKILL, SYNONYM, PALETTE, ACTION, RULES, WINDOW.
BMAP tile, <tile.tx>;
FONT small, <font.tx>, 8, 8;

SKILL speed { VAL 2.5; MIN -1; MAX 10; TYPE PLAYER; }
SKILL lives { DEFAULT 3; TYPE GLOBAL; }
SKILL temp { TYPE LOCAL; }

PALETTE day {
    PALFILE <day.pcx>;
    RANGE 16, 16;
    RANGE 240, 16;
    CYCLE 0.5;
    FLAGS HARD, BLUR, AUTORANGE;
}

REGION hall { FLOOR_HGT 0; }
TEXTURE stone { BMAPS tile; }
TEXT note { FONT small; STRING "a note"; }

SYNONYM door_region { TYPE REGION; DEFAULT hall; }
SYNONYM on_open { TYPE ACTION; DEFAULT open_door; }
SYNONYM nobody { TYPE ACTOR; DEFAULT NULL; }
SYNONYM shown { TYPE TEXT; DEFAULT note; }
SYNONYM look { TYPE TEXTURE; DEFAULT stone; }

ACTION open_door {
    SET speed, 1;
    IF (speed > 0) {
        ADD speed, 1;
        IF (speed > 5) { SET speed, 0; }
    } ELSE {
        SET speed, 2;
    }
again: WAITT 1;
    SKIP again;
}

RULES physics {
    speed = speed + 1;
}

WINDOW old_style {
    ANYTHING at all, 1, 2, 3;
    MORE "words";
}

STRING after, "read after every block";
