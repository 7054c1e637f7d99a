# tarnwell-cli.exe run as a script runs it (standard input, output and error
# redirected to files), its options read in-process, and its output set
# against the file job's for the same files.
tarnwell_test(cli_test LABEL e2e TIMEOUT 600
  SOURCES e2e/cli_test.cpp
  LIBS cli pages)
add_dependencies(cli_test tarnwell-cli textio_samples)
