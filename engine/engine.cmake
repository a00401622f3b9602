# The generation engine: a shared library the program loads at run time, and
# its command-line front end.
