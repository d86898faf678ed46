# The smallest world: a script with nothing in it yet but this comment.
