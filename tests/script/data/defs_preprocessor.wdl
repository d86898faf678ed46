# The preprocessor around definitions: defines as values, names and strings, and sections.
DEFINE WIDTH, 64;
DEFINE GREETING, "hello there";
DEFINE SPEEDNAME, speed;
define quick;

SKILL SPEEDNAME { VAL WIDTH; }
STRING message, GREETING;

IFDEF quick;
    STRING mode, "quick";
IfElse;
    STRING mode, "slow";
ENDIF;

ifndef HARD;
    SKILL difficulty { VAL 1; }
ifelse;
    SKILL difficulty { VAL 3; }
endif;

ifdef NOT_DEFINED;
    THIS IS NEVER READ AT ALL;
    ifdef quick;
        STRING nested, "skipped too";
    endif;
endif;

UNDEF WIDTH;
STRING width_text, WIDTH;
