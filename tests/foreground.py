"""Runs a program as the terminal's foreground job in a process group of its
own, as a shell with job control does, so that a stop signal really stops
it; unlike such a shell, it never touches the terminal's settings.

usage: foreground.py PIDFILE PROGRAM [ARGUMENTS...]"""

import os
import signal
import sys


def main(pid_file, *command):
    signal.signal(signal.SIGTTOU, signal.SIG_IGN)  # to hand the terminal back and forth
    terminal = os.open("/dev/tty", os.O_RDWR)
    child = os.fork()
    if child == 0:
        os.setpgid(0, 0)
        os.tcsetpgrp(terminal, os.getpid())
        signal.signal(signal.SIGTTOU, signal.SIG_DFL)
        with open(pid_file, "w") as file:
            file.write(str(os.getpid()))
        os.execvp(command[0], command)
    while True:
        _, status = os.waitpid(child, 0)
        if os.WIFEXITED(status) or os.WIFSIGNALED(status):
            break
    os.tcsetpgrp(terminal, os.getpgrp())
    return os.WEXITSTATUS(status) if os.WIFEXITED(status) else 128 + os.WTERMSIG(status)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
