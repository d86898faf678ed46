# Read at the INCLUDE statement, completely, before the statement after it.
STRING included, "from the included file";
VIDEO X320x240;
