# The smallest world: only the palette that every level needs to be built.
PALETTE minimal { }
