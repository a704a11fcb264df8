#!/bin/sh
# Runs the zoetrix-cli named by ZOETRIX_CLI for help2man, which makes the
# manual page from --help and --version: the usage lines are given in the
# form help2man takes as the synopsis ("Usage: ..." and "  or: ..."), and
# the exit status paragraph as a section of its own.
"$ZOETRIX_CLI" "$@" | sed -e 's/^[Uu]sage: /Usage: /' \
                          -e 's/^ \{7\}zoetrix-cli /  or: zoetrix-cli /' \
                          -e 's/^Exit status: /*Exit status*\n\n/'
