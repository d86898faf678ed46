# The demo game. It grows with every capability the engine gains.
# The level: a hall with a raised alcove (DEMO.WMP); every level needs a palette.
MAPFILE DEMO.WMP;
PALETTE demo { }
