# Every field of the WALL, THING, ACTOR and REGION blocks.
BMAP brick, <brick.tx>;
BMAP wide, <wide.tx>;
OVLY mark, <brick.tx>;
TEXTURE brick_wall { BMAPS brick; }
TEXTURE sky { BMAPS wide; FLAGS SKY; }
TEXTURE two_sides { SIDES 2; BMAPS brick, brick; }
OVERLAY badge { OVLYS mark; }
SKILL power { VAL 1; }
WAY route;

WALL door {
    TEXTURE brick_wall;
    ATTACH two_sides;
    DIST 5;
    SKILL1 1.5;
    SKILL8 -2;
    FEATURE2 power;
    FLAGS TRANSPARENT, PORTCULLIS, CURTAIN, FENCE, INVISIBLE, FAR, PASSABLE, SEEN, BERKELEY,
          FLAG1, FLAG8, SENSITIVE, FRAGILE, LIBER, SAVE, IMMATERIAL, IMPASSABLE;
    IF_NEAR on_near; IF_FAR on_far; IF_HIT on_hit; EACH_CYCLE on_cycle; IF_ARRIVED on_arrived; EACH_TICK on_tick;
    MAP_COLOR 1;
    POSITION 2;
    OFFSET_X 3;
    OFFSET_Y 4;
}

THING lamp {
    TEXTURE brick_wall;
    OVERLAY badge;
    HEIGHT 2;
    THING_HGT 3;
    ANGLE 1.5;
    ANGLE 5;
    MAP_COLOR 200;
    FLAGS GROUND, CANDELABER;
}

ACTOR guard {
    TEXTURE two_sides;
    SPEED 2;
    VSPEED 0.5;
    ASPEED 0.25;
    WAYPOINT 3;
    TARGET_X 10;
    TARGET_Y 20;
    TARGET lamp;
    FLAGS CAREFULLY, MASTER, GROUND;
}
ACTOR walker { TEXTURE brick_wall; WAY route; }
ACTOR runner { TEXTURE brick_wall; TARGET REPEL; }
ACTOR follower { TEXTURE brick_wall; TARGET FOLLOW; }
ACTOR holder { TEXTURE brick_wall; TARGET HOLD; }
ACTOR on_way { TEXTURE brick_wall; TARGET route; }
ACTOR player_two { TEXTURE brick_wall; NODE 1; }
ACTOR player_three { TEXTURE brick_wall; TARGET NODE2; }

REGION cellar { FLOOR_HGT -4; }
REGION hall {
    FLOOR_TEX brick_wall;
    CEIL_TEX sky;
    TEXTURE1 brick_wall;
    TEXTURE4 sky;
    GENIUS lamp;
    GENIUS no_such_genius;
    SKILL3 4;
    FEATURE8 power;
    CEIL_HGT 12.75;
    FLOOR_HGT -0.3;
    FLOOR_ANGLE 0.125;
    CEIL_ANGLE 0.25;
    CLIP_DIST 300;
    CEIL_OFFS_X 1;
    CEIL_OFFS_Y 2;
    FLOOR_OFFS_X 3;
    FLOOR_OFFS_Y 4;
    AMBIENT 0.5;
    BELOW cellar;
    ABOVE cellar;
    IF_ENTER enter; IF_LEAVE leave; IF_DIVE dive; IF_ARISE arise; EACH_TICK region_tick; EACH_CYCLE region_cycle;
    FLAGS BASE, STICKY, FLAG2, FLOOR_LIFTED, FLOOR_DESCEND, CEIL_ASCEND, SAVE, SAVE_ALL;
}
REGION lifted { FLAGS LIFTED, CEIL_LIFTED; }
