# Tests of the windowed program's platform-free units; they run on the host
# (sanitizers) and under Wine.
