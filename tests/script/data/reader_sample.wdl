# A small script for the reader: comments of every kind,
// a statement over lines, a string with escapes
/* and an included file.
   The block comment ends here. */

BMAP wall, <wall.pcx>, 0, 0, 64, 64;

STRING hello,
   "Hello,\n \"world\"";

SOUND door,       # what the door plays
  <door.wav>
  // still the same statement
  ;
INCLUDE <reader_sample_inc.wdl>;


AFTER;
