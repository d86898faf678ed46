# Every operator, built-in function, formula instruction, loop form and jump form of
# actions, each result written to the print file "ops0.TXT"; the start action ends the game.
# The expected file is allops_expected.txt beside this script.
PALETTE pal { }
STRING nl, "\n";

SKILL a { VAL 7; }
SKILL b { VAL 2; }
SKILL c { VAL 0; }
SKILL i { VAL 0; }
SKILL j { VAL 0; }
SKILL n { VAL 0; }
SKILL lim { VAL 0; MIN -2; MAX 5; }

ACTION out {
    PRINT_VALUE c;
    PRINT_STRING nl;
}

ACTION ends_early {
    ADD n, 1;
    END;
    ADD n, 100;
}

ACTION finale {
    PRINT_STRING "branch ";
    CALL out;
    EXIT;
}

ACTION start {
    PRINTFILE "ops", 0;

    # Operators.
    RULE c = a + b;              PRINT_STRING "a+b ";   CALL out;
    RULE c = a - b;              PRINT_STRING "a-b ";   CALL out;
    RULE c = a * b;              PRINT_STRING "a*b ";   CALL out;
    RULE c = a / b;              PRINT_STRING "a/b ";   CALL out;
    RULE c = a % b;              PRINT_STRING "a%b ";   CALL out;
    RULE c = -2 % 3;             PRINT_STRING "-2%3 ";  CALL out;
    RULE c = -a;                 PRINT_STRING "-a ";    CALL out;
    RULE c = ~b;                 PRINT_STRING "~b ";    CALL out;
    RULE c = !b;                 PRINT_STRING "!b ";    CALL out;
    RULE c = a & b;              PRINT_STRING "a&b ";   CALL out;
    RULE c = a | b;              PRINT_STRING "a|b ";   CALL out;
    RULE c = a ^ b;              PRINT_STRING "a^b ";   CALL out;
    RULE c = (a == 7);           PRINT_STRING "a==7 ";  CALL out;
    RULE c = (a != 7);           PRINT_STRING "a!=7 ";  CALL out;
    RULE c = (a < b);            PRINT_STRING "a<b ";   CALL out;
    RULE c = (a > b);            PRINT_STRING "a>b ";   CALL out;
    RULE c = (a <= 7);           PRINT_STRING "a<=7 ";  CALL out;
    RULE c = (a >= 8);           PRINT_STRING "a>=8 ";  CALL out;
    RULE c = (a > 1) && (b > 5); PRINT_STRING "and ";   CALL out;
    RULE c = (a > 1) || (b > 5); PRINT_STRING "or ";    CALL out;
    RULE c = 1 + 2 * 3 - 4 / 2;  PRINT_STRING "prec ";  CALL out;
    RULE c = (1 + 2) * -3;       PRINT_STRING "paren "; CALL out;
    RULE c = a / 0;              PRINT_STRING "a/0 ";   CALL out;
    RULE c = 1;
    RULE c += a;                 PRINT_STRING "+= ";    CALL out;
    RULE c -= b;                 PRINT_STRING "-= ";    CALL out;
    RULE c *= b;                 PRINT_STRING "*= ";    CALL out;
    RULE c /= 4;                 PRINT_STRING "/= ";    CALL out;
    RULE c %= 2;                 PRINT_STRING "%= ";    CALL out;
    RULE c = 13;
    RULE c &= 7;                 PRINT_STRING "&= ";    CALL out;
    RULE c |= 8;                 PRINT_STRING "|= ";    CALL out;
    RULE c ^= 1;                 PRINT_STRING "^= ";    CALL out;
    RULE lim = 9;
    SET c, lim;                  PRINT_STRING "clamp ";  CALL out;
    ADD lim, -20;
    SET c, lim;                  PRINT_STRING "clamp- "; CALL out;

    # Built-in functions.
    RULE c = RANDOM(10);         PRINT_STRING "random ";  CALL out;
    RULE c = SIN(1);             PRINT_STRING "sin ";     CALL out;
    RULE c = cos(1);             PRINT_STRING "cos ";     CALL out;
    RULE c = tan(1);             PRINT_STRING "tan ";     CALL out;
    RULE c = SIN(-1);            PRINT_STRING "sin-1 ";   CALL out;
    RULE c = ASIN(0.5);          PRINT_STRING "asin ";    CALL out;
    RULE c = acos(0.5);          PRINT_STRING "acos ";    CALL out;
    RULE c = atan(1);            PRINT_STRING "atan ";    CALL out;
    RULE c = SQRT(2);            PRINT_STRING "sqrt ";    CALL out;
    RULE c = SIGN(-3);           PRINT_STRING "sign ";    CALL out;
    RULE c = ABS(-3.5);          PRINT_STRING "abs ";     CALL out;
    RULE c = int(2.75);          PRINT_STRING "int ";     CALL out;
    RULE c = int(-2.5);          PRINT_STRING "int- ";    CALL out;
    RULE c = exp(1);             PRINT_STRING "exp ";     CALL out;
    RULE c = log(10);            PRINT_STRING "log ";     CALL out;
    RULE c = log10(1000);        PRINT_STRING "log10 ";   CALL out;
    RULE c = log2(8);            PRINT_STRING "log2 ";    CALL out;

    # Formula instructions.
    SET c, 1;
    ADD c, a;                    PRINT_STRING "ADD ";     CALL out;
    SUB c, b;                    PRINT_STRING "SUB ";     CALL out;
    ADDT c, 1;                   PRINT_STRING "ADDT ";    CALL out;
    SIN c, b;                    PRINT_STRING "SIN ";     CALL out;
    ASIN c, 1;                   PRINT_STRING "ASIN ";    CALL out;
    SQRT c, 16;                  PRINT_STRING "SQRT ";    CALL out;
    SIGN c, -5;                  PRINT_STRING "SIGN ";    CALL out;
    ABS c, -5;                   PRINT_STRING "ABS ";     CALL out;
    RANDOMIZE c, 100;            PRINT_STRING "RANDOMIZE "; CALL out;
    AND c, 0;                    PRINT_STRING "AND ";     CALL out;

    # Loops: WHILE with CONTINUE and BREAK, nested WHILE, a backward SKIP and a GOTO.
    SET i, 0;
    SET n, 0;
    WHILE (i < 10) {
        ADD i, 1;
        IF (i == 3) { CONTINUE; }
        IF (i == 8) { BREAK; }
        ADD n, i;
    }
    SET c, n;                    PRINT_STRING "while ";   CALL out;
    SET c, i;                    PRINT_STRING "break ";   CALL out;
    SET i, 0;
    SET c, 0;
    WHILE (i < 3) {
        ADD i, 1;
        SET j, 0;
        WHILE (j < 4) { ADD j, 1; ADD c, 1; }
    }
    PRINT_STRING "nested ";      CALL out;
    SET c, 0;
    ADD c, 1;
    IF_BELOW c, 5;
    SKIP -2;
    PRINT_STRING "skip-loop ";   CALL out;
    SET c, 0;
again:
    ADD c, 2;
    IF_BELOW c, 9, again;
    PRINT_STRING "goto-loop ";   CALL out;

    # Jumps: SKIP counts, GOTO, the conditional skips with and without labels, the skill
    # limits, IF and ELSE, END in a called action.
    SET c, 0;
    SKIP 0;
    ADD c, 1;
    SKIP 2;
    ADD c, 10;
    ADD c, 10;
    ADD c, 100;
    PRINT_STRING "skip ";        CALL out;
    SET c, 0;
    GOTO ahead;
    SET c, 99;
ahead:
    PRINT_STRING "goto ";        CALL out;
    SET c, 0;
    IF_ABOVE a, 5;
    ADD c, 1;
    IF_BELOW a, 5;
    ADD c, 10;
    IF_EQUAL b, 2;
    ADD c, 100;
    IF_NEQUAL b, 2;
    ADD c, 1000;
    PRINT_STRING "if-skip ";     CALL out;
    SET c, 0;
    IF_EQUAL a, 7, seven;
    SET c, 50;
seven:
    ADD c, 1;
    IF_NEQUAL a, 7, not_seven;
    ADD c, 2;
not_seven:
    PRINT_STRING "if-label ";    CALL out;
    SET c, 0;
    SET lim, 5;
    IF_MAX lim;
    ADD c, 1;
    IF_MIN lim;
    ADD c, 10;
    PRINT_STRING "limits ";      CALL out;
    IF (a > b) { SET c, 1; } ELSE { SET c, 2; }
    PRINT_STRING "if ";          CALL out;
    IF (a < b) { SET c, 1; } ELSE { IF (a == 7) { SET c, 3; } ELSE { SET c, 4; } }
    PRINT_STRING "else ";        CALL out;
    SET n, 0;
    CALL ends_early;
    CALL ends_early;
    SET c, n;                    PRINT_STRING "end ";     CALL out;
    SET c, 42;
    BRANCH finale;
    SET c, -1;
}

IF_START start;
