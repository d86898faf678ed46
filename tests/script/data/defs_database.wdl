# A database read from its data file, and a data view of it.
TEXTURE marker { BMAPS NULL; }
THING lamp { TEXTURE marker; }
DATABASE shops {
    DATAFILE <rows.txt>;
    SEPARATOR ";|";
    BUILDING;
    POS_X;
    POS_Y;
    STRING title;
    BMAP sign;
    SOUND bell;
}
DATAVIEW shop_view {
    GENIUS lamp;
    DATABASE shops;
}
