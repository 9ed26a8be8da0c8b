# The readers of outside input other than pictures and databases, under libFuzzer: the
# settings file, the command line, and the folder source over folders of odd names.
# Their seeds are kept in fuzz/corpus; scripts/fuzz.sh runs them.
glimsel_fuzz_target(settings glimsel_ini)
glimsel_fuzz_target(cmdline glimsel_cmdline)
glimsel_fuzz_target(folder glimsel_sources)
