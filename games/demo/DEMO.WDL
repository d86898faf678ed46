# The demo game. It grows with every capability the engine gains.
