# A statement without its ";" takes the line after it.
STRING greeting, "hello";
STRING farewell, "goodbye"
STRING never, "read";
STRING not_reached, "either";
