"""What a person at a terminal sees and presses: the game in a tmux pane.

usage: check_terminal.py PROGRAM CASE [WRAPPER...]
       check_terminal.py --list | --list-windows

A case is one row: its name, the shell command that starts the game, the
pane's width and the steps taken, in order. With a wrapper (wine), PROGRAM
is the Windows build, run in the console that wine gives a program started
from a terminal, and the cases are those of WINDOWS_CONSOLE."""

import os
import shlex
import signal
import sys
import time

from harness import SKIP, describe_difference, drive, run_game, verdict
import tmux_pane
from tmux_pane import Pane, tmux_usable

TITLE = "*        Tinkerspindle         *"
MENU = "Enter Selection:"
INTRODUCTION = "Welcome to Tinkerspindle!"
RULES = "BEWARE! YOU CAN'T SAVE YOUR GAME!"
WORKSHOP = "You are in a workshop in the center of the junkyard."
CARRYING = "You are carrying:"
BRIEFING = "On your mark...get set...go!"
QUIT_LINE = "To quit game, close window.  Otherwise, hit enter to continue."
REFUSE_PILE = "You are in a pile of stinking refuse."
EMOJI = "\U0001F600"  # beyond U+FFFF: two UTF-16 units on the Windows console
TWO_PART_KEYS = ("Up", "Down", "Left", "Right", "Home", "End", "IC", "DC", "PPage", "NPage",
                 "F1", "F5", "F12")
FOREGROUND = os.path.join(os.path.dirname(os.path.abspath(__file__)), "foreground.py")


def game(*command):
    """The game as the foreground job, its pid in the file pid, its exit
    status in status, the terminal's settings before and after it."""
    run = shlex.join([sys.executable, FOREGROUND, "pid", *command])
    return f"stty -a > before; {run}; echo $? > status; stty -a > after"


# Commands that start a case; {game} and {program} are filled in when it runs.
GAME = "{game}"
SHELL = "PS1='$ ' bash --norc --noprofile -i"  # job control, the game's command typed at it
DASH = "PS1='$ ' dash -i"


def bare(redirection):
    """The game started by the shell itself, with its own redirections."""
    return f"stty -a > before; {{program}} {redirection}; echo $? > status; stty -a > after"


# Steps: each takes the pane. Checks look at the screen last awaited (pane.last).
def keys(*names): return lambda pane: pane.keys(*names)
def line(text): return lambda pane: pane.line(text)
def burst(*names): return lambda pane: pane.burst(*names)
def sent(data): return lambda pane: pane.bytes(data)
def paste(text): return lambda pane: pane.paste(text)
def resize(width): return lambda pane: pane.resize(width)
def pause(seconds): return lambda pane: time.sleep(seconds)
def kill(number): return lambda pane: os.kill(int(pane.file("pid")), number)
def shows(text): return lambda pane: pane.wait_for(text)
def gone(text): return lambda pane: pane.wait_for(text, gone=True)
def stays(text, seconds=0.5): return lambda pane: pane.stays(text, seconds)


def screen_check(test, what):
    """A check of the screen last awaited: test(screen, *arguments) must hold."""
    def check(*arguments):
        def step(pane):
            if not test(pane.last, *arguments):
                raise AssertionError(f"{what} {arguments!r}:\n{pane.last}")
        return step
    return check


starts = screen_check(str.startswith, "not first")
ends = screen_check(lambda screen, text: screen.rstrip().endswith(text), "not last")
top = screen_check(lambda screen, text: screen.splitlines()[0].rstrip() == text, "not the top row")
alone = screen_check(lambda screen, text: screen.splitlines()[0] == text
                     and not any(screen.splitlines()[1:]), "more than the top row")
a_row_starts = screen_check(lambda screen, text: any(row.startswith(text)
                                                     for row in screen.splitlines()), "no row")
count = screen_check(lambda screen, text, number: screen.count(text) == number, "not so often")
in_order = screen_check(lambda screen, first, then: 0 <= screen.find(first) < screen.find(then),
                        "not in this order")
lacks = screen_check(lambda screen, *texts: not any(text in screen for text in texts),
                     "shown, one of")


def wrote(data, present=True):
    """Whether the bytes written to the pane so far hold data."""
    def check(pane):
        if (data in pane.written()) != present:
            raise AssertionError(f"{data!r} {'not ' if present else ''}written:\n"
                                 f"{pane.written()[-600:]!r}")
    return check


def restored(status):
    """The game ended with status and left the terminal's settings as it found them."""
    def check(pane):
        pane.wait_for("<exited>")
        if pane.file("before") != pane.file("after"):
            raise AssertionError(f"terminal settings changed:\n{pane.file('before')}\n"
                                 f"--- after:\n{pane.file('after')}")
        if int(pane.file("status")) != status:
            raise AssertionError(f"exit status {pane.file('status')}, expected {status}")
    return check


def restored_while_stopped(pane):
    try:
        pane.wait_for(lambda screen: pane.terminal_settings() == pane.file("before"))
    except AssertionError:
        raise AssertionError("terminal left raw while stopped:\n" + pane.terminal_settings())


def scrolled_off(pane): pane.wait_for(lambda screen: pane.history_size() > 0)


def no_scroll_back(pane):
    if pane.history_size():
        raise AssertionError(f"scroll-back holds {pane.history_size()} lines")


def as_piped(typed):
    """The log the game wrote is what it writes to a pipe given typed."""
    def check(pane):
        piped = run_game(pane.program, typed).stdout
        if pane.file("log").encode() != piped:
            raise AssertionError(describe_difference(piped, pane.file("log").encode()))
    return check


def started(command="{}"):
    """The game's command typed at the shell; {} stands for the program."""
    def step(pane):
        pane.started = command.format(pane.program)
        pane.line(pane.started)
    return step


def suspended(typed, last_line=None, width=None):
    """Ctrl+Z after typed keys (or within a burst of them), then fg, the pane
    perhaps resized meanwhile; then the line is awaited as the last one shown
    (by default fg's echo of the command that started the game)."""
    def step(pane):
        pane.burst(*typed) if isinstance(typed, tuple) else pane.keys(typed, "C-z")
        pane.wait_for("Stopped")
        pane.keys("C-u")  # the keys of a burst that came after Ctrl+Z are the shell's
        pane.line("clear")  # the shell's own: the game's earlier text is gone
        pane.wait_for("Stopped", gone=True)
        if width:
            pane.resize(width)
        pane.line("fg")
        last = last_line or pane.started
        pane.wait_for(lambda screen: screen.rstrip("\n").endswith("\n" + last))
    return step


def runs_of_resizes(typed):
    """Each resize seen on its own, then runs faster than the game redraws:
    the line typed is shown once, below the place's text."""
    return lambda pane: resized_runs(pane, typed)


def resized_runs(pane, typed):
    pane.keys(typed)
    for widths, pause_between in (([40, 80], 0.5), ([40, 20, 12, 20, 40, 80], 0.5),
                                  ([40, 80], 0.05), ([40, 20, 12, 20, 40, 80], 0.05),
                                  ([40, 20, 12, 20, 40, 80], 0)):
        for width in widths:
            pane.resize(width)
            time.sleep(pause_between)
        screen = pane.stays(typed, seconds=1.0)
        rows = screen.rstrip("\n").splitlines()
        assert rows[-3:] == [WORKSHOP, "You see the host of Tinkerspindle.", typed], \
            f"after resizes to {widths}:\n{screen}\n{pane.written()[-600:]!r}"


TO_MENU = (shows(TITLE), keys("Enter"), shows(MENU))
PLAY = (*TO_MENU, line("p"), shows(WORKSHOP))
QUITS = (shows("<exited>"), starts("Quit game.  Close window."), restored(0))
TALK = (line("talk"), shows(BRIEFING))
BYE = (*[line("xyzzy")] * 12, scrolled_off,  # more than a screen: scroll-back to erase
       line("bye"), shows(QUIT_LINE), alone(QUIT_LINE))
STRAYS = ("not recognized", "I don't think so.", "\ufffd")


def signalled(number):
    """The signal at the title's wait ends the game as the signal would, all restored."""
    return (shows(TITLE), kill(number), restored(128 + number))


def pages_after(*names):
    """Each key ends a wait of the title or a page, and the menu shows the next page."""
    pages = [("i", INTRODUCTION), ("r", RULES)]
    return [step for number, name in enumerate(names) for step in
            (keys(name), shows(MENU), line(pages[number % 2][0]), shows(pages[number % 2][1]))]


def each_ends_two_waits(*names):
    # the second half of the key is still pending: the next wait ends at once
    return [step for name in names for step in
            (line("inv"), shows(CARRYING), keys(name), shows(WORKSHOP), line("inv"),
             shows(WORKSHOP), lacks(CARRYING))]


def inventory_ended_by(*names):
    return [step for name in names for step in
            (line("inv"), shows(CARRYING), keys(name), gone(CARRYING))]


def plain_text(echoes):
    """TERM that the terminal database cannot address: the terminal's own
    line discipline, no escape sequence, no library's message, a form feed
    for a clear, and a typed line shown by the terminal's echo alone."""
    return (*PLAY, *TALK, count("talk", echoes), line("bye"), shows(QUIT_LINE), keys("Space"),
            shows(lambda screen: WORKSHOP in screen.split(QUIT_LINE)[-1]), keys("C-d"),
            restored(0), wrote(b"\x1b", False), wrote(b"\0", False),
            wrote(b"terminal type", False), wrote(b"\f" + QUIT_LINE.encode()))


def database_clear(clear):
    """An addressable terminal: the database's clear and erase of the
    scroll-back, with no padding byte, and line editing with no padding."""
    return (*PLAY, keys("tal", "C-u", "talk", "Home", "End", "BSpace", "Enter"), shows(BRIEFING),
            line("bye"), shows(QUIT_LINE), wrote(clear + QUIT_LINE.encode()), wrote(b"\0", False))


# name, command, width, steps: rows the Windows console passes as a terminal does.
BOTH = [
    ("title_waits_without_echo", GAME, 100, shows(TITLE), stays(TITLE, 1.0), keys("x"),
     shows(MENU), lacks(TITLE, "x"), starts("Main Menu:")),
    ("quit_restores_terminal", GAME, 100, *TO_MENU, line("q"), *QUITS),
    # The game ends its row: what comes next (the shell's prompt) starts a row of its own.
    ("quit_ends_its_row", "export TERM=xterm-256color; {game}", 100, *TO_MENU, line("q"),
     *QUITS, a_row_starts("<exited>")),
    ("backspace_edits_a_command", GAME, 100, *PLAY, keys("tak", "BSpace", "l", "Enter"),
     shows(BRIEFING)),
    ("a_character_beyond_u_ffff_is_one_key", GAME, 100, shows(TITLE), keys(EMOJI), shows(MENU),
     line("p"), shows(WORKSHOP), *inventory_ended_by(EMOJI), *TALK, lacks(*STRAYS)),
]

TERMINAL = BOTH + [
    ("keys_end_a_wait", GAME, 100, shows(TITLE), *pages_after(
        "Enter", "Space", "a", "C-c", "Escape", "C-z", "C-\\", "C-s", "C-q", "é"),
     keys("Enter"), shows(MENU), line("q"), restored(0)),
    ("escape_sequences_end_two_waits", GAME, 100, *PLAY, *each_ends_two_waits(*TWO_PART_KEYS),
     *TALK, lacks("[A", "[B", "~", "OP", "^[")),
    ("bye_clears_the_screen", GAME, 100, *PLAY, *BYE, no_scroll_back, keys("Space"),
     shows(WORKSHOP)),
    ("end_of_input_restores_terminal", GAME, 100, *PLAY, keys("C-d"), restored(0)),
    ("stop_and_continue_during_wait", GAME, 100, shows(TITLE), kill(signal.SIGTSTP),
     restored_while_stopped, kill(signal.SIGCONT), stays(TITLE, 0.3), keys("x"), shows(MENU),
     line("q"), restored(0)),
    ("sigterm_during_wait_restores_terminal", GAME, 100, *signalled(signal.SIGTERM)),
    ("sighup_during_wait_restores_terminal", GAME, 100, *signalled(signal.SIGHUP)),
    ("sigint_during_wait_restores_terminal", GAME, 100, *signalled(signal.SIGINT)),
    ("sigquit_during_wait_restores_terminal", GAME, 100, *signalled(signal.SIGQUIT)),
    ("key_waits_with_input_from_a_file",
     "printf 'i\\nq\\n' > typed; {program} < typed; echo $? > status", 100, shows(TITLE),
     stays(TITLE, 1.0), keys("Enter"), shows(INTRODUCTION), stays(INTRODUCTION), keys("Enter"),
     shows("<exited>"), shows("Quit game.  Close window.")),
    # Closed standard input reads as at its end, not as the terminal.
    ("input_closed_at_a_terminal", bare("<&-"), 100, shows(TITLE), keys("Enter"),
     shows("<exited>"), starts("Main Menu:"), in_order(MENU, "<exited>"), a_row_starts("<exited>"),
     restored(0)),
    # Closed standard output discards the game's texts; the keys still work.
    ("output_closed_at_a_terminal", bare(">&-"), 100, pause(0.5), keys("Enter"), line("q"),
     shows("<exited>"), lacks(TITLE, MENU, "Quit"), restored(0)),
    ("keys_typed_fast_after_a_wait_reach_the_menu", GAME, 100, shows(TITLE),
     burst("x", "p", "Enter"), shows(WORKSHOP), line("tal"), shows(BRIEFING)),
    ("lines_pasted_at_a_wait_are_all_played", GAME, 100, shows(TITLE), paste("x\np\ntalk\nn\n"),
     shows(REFUSE_PILE), in_order(BRIEFING, REFUSE_PILE)),
    ("a_byte_that_is_no_character_ends_a_wait_alone", GAME, 100, shows(TITLE),
     sent(b"\xe9q\r"), *QUITS),
    ("up_recalls_the_last_command", GAME, 100, *PLAY, line("bye"), shows(QUIT_LINE),
     keys("Space"), shows(WORKSHOP), keys("Up", "Enter"), gone(WORKSHOP), shows(QUIT_LINE),
     starts(QUIT_LINE)),
    ("left_edits_the_middle_of_a_command", GAME, 100, *PLAY, keys("tl", "Left", "a", "Enter"),
     shows(BRIEFING)),
    ("backspace_keeps_the_menu_prompt", GAME, 100, *TO_MENU,
     keys("ab", "BSpace", "BSpace", "BSpace", "BSpace", "C-l"), stays(MENU), top(MENU),
     line("q"), restored(0)),
    ("keys_at_a_prompt_leave_no_trace", GAME, 100, *PLAY,
     keys("ta", "Up", "Down", "Right", "Home", "End", "IC", "PPage", "NPage", "F1", "F5", "F12",
          "C-Left", "C-Right", "M-Up", "Escape", "l", "Enter"),
     shows(BRIEFING), lacks("^[", "[A", "~", "OP", "5D")),
    ("interrupt_at_a_prompt_restores_terminal", GAME, 100, *PLAY, keys("ta", "C-c"),
     restored(128 + signal.SIGINT)),
    # The editor draws on the terminal; the file gets the game's bytes only.
    ("output_to_a_file_is_what_a_pipe_gives", "{program} > log", 100, pause(0.5),
     keys("Enter"), line("p"), keys("tl", "Left", "a", "Enter", "Up", "Enter", "C-d"),
     shows("<exited>"), as_piped(b"p\ntal\ntal\n")),
    # The shell waits for the wrapper, not for the game, and sees only the
    # wrapper stop; the game must come back whenever the wrapper does.
    ("suspend_and_resume_under_a_wrapper", SHELL, 100, started("sh -c '{}; echo wrapper-done'"),
     *PLAY, *[suspended("ta", "ta"), keys("Left", "Right", "lk", "Enter"), shows(BRIEFING)] * 4,
     line("inv"), shows(CARRYING), suspended(("x", "C-z")),  # Ctrl+Z typed ahead of the prompt
     *TALK, keys("C-d"), shows("wrapper-done")),
    # Widened while the game is stopped, the pane shows the line at its new width.
    ("line_typed_before_a_suspend_is_drawn_again", SHELL, 50, started(), *TO_MENU,
     suspended("x" * 60, "Enter Selection:  " + "x" * 60, width=100), keys("C-u", "q", "Enter"),
     shows("Quit game.  Close window.")),
    ("a_resize_takes_effect_mid_line", GAME, 100, *PLAY, keys("lk"), resize(50),
     keys("x" * 68, "Home", "ta"), shows("talk" + "x" * 46), lacks("xta", "xxxxxxx\nta"),
     keys("Enter"), shows(BRIEFING)),
    ("empty_lines_at_the_menu_leave_one_prompt", GAME, 100, *TO_MENU,
     keys("Enter", "Enter", "Enter"), stays(MENU), count(MENU, 1), ends(MENU), line("q"),
     *QUITS),
    ("a_narrow_pane_shows_the_prompt_once", GAME, 12, shows("bramblewood"), keys("Enter"),
     shows("ion:"), stays("ion:"), count("Enter Select", 1), line("q"), shows("<exited>")),
    ("interrupt_typed_after_the_key_that_ends_a_wait", GAME, 100, *PLAY, line("inv"),
     shows(CARRYING), burst("x", "C-c"), restored(128 + signal.SIGINT)),
    ("end_of_input_shows_nothing", GAME, 100, *PLAY, keys("ta", "BSpace", "BSpace", "C-d"),
     shows("<exited>"), lacks("^D"), restored(0)),
    ("runs_of_resizes_leave_no_stale_copy", GAME, 80, *PLAY, runs_of_resizes("x" * 53),
     keys("C-u", "talk", "Enter"), shows(BRIEFING)),
    ("a_line_with_spaces_through_resizes_leaves_one_copy", GAME, 80, *PLAY,
     runs_of_resizes("the quick brown fox jumps over the lazy dog 123456789")),
    # Keys ahead of Ctrl+Z in its burst belong to the line, those after it to
    # the shell; after fg the game edits in its own mode.
    ("bursts_around_a_suspend", SHELL, 100, started(), *PLAY, keys("ta"),
     suspended(("l", "k", "C-z"), "talk"), keys("Enter"), shows(BRIEFING), keys("tl"),
     suspended(("C-z", "l", "s"), "tl"), keys("Left", "a", "Enter"),
     shows(BRIEFING), lacks("^[")),  # the shell's clear took the first briefing away
    ("stopped_on_a_row_of_its_own_under_dash", DASH, 100, started(), *PLAY, keys("tal", "C-z"),
     shows("Stopped"), a_row_starts("[1]"), line("fg"), keys("k", "Enter"), shows(BRIEFING)),
    ("term_dumb", "export TERM=dumb; {game}", 100, *plain_text(echoes=1)),
    ("term_unset", "unset TERM; {game}", 100, *plain_text(echoes=1)),
    ("term_unknown", "export TERM=tinkerspindle-unknown; {game}", 100, *plain_text(echoes=1)),
    ("term_dumb_without_echo", "stty -echo; export TERM=dumb; {game}", 100, *plain_text(0)),
    ("quit_ends_its_row_on_a_dumb_terminal", "export TERM=dumb; {game}", 100, *TO_MENU,
     line("q"), restored(0), a_row_starts("<exited>")),
    # A line-at-a-time terminal sends a wait's key with its Enter: both end the wait.
    ("a_key_and_its_line_feed_end_one_wait", "stty -echo; export TERM=dumb; {game}", 100,
     *PLAY, line("inv"), shows(CARRYING), sent(b"x\n"), *TALK, lacks("I don't think so."),
     count(WORKSHOP, 3)),
    ("term_vt100", "export TERM=vt100; {game}", 100, *database_clear(b"\x1b[H\x1b[J")),
    ("term_xterm", "export TERM=xterm-256color; {game}", 100,
     *database_clear(b"\x1b[H\x1b[2J\x1b[3J")),
    # A character beyond U+FFFF is one character to move over and delete.
    ("a_character_beyond_u_ffff_edited_at_a_prompt", GAME, 100, *PLAY, keys("ta", EMOJI, "lk",
     "Left", "Left", "Left", "Right", "BSpace", "Enter"), shows(BRIEFING), lacks(*STRAYS)),
    # Enter after a character cut short is a key of its own.
    ("enter_after_an_incomplete_character", GAME, 100, *PLAY, keys("talk"),
     sent(b"\xe2\x82"), keys("Enter"), shows(BRIEFING)),
    # "ta k" or "ta l" unless Alt+b and Alt+f move by whole words.
    ("alt_b_and_alt_f_move_by_words", GAME, 100, *PLAY,
     keys("ta lk", "M-b", "M-b", "M-f", "DC", "Enter"), shows(BRIEFING)),
    ("a_resize_ends_no_wait", GAME, 100, *PLAY, line("inv"), shows(CARRYING), resize(60),
     stays(CARRYING, 1.0), keys("x"), gone(CARRYING), *TALK),
    ("plays_with_hangups_ignored", "trap '' HUP; {game}", 100, *PLAY, *TALK, keys("C-d"),
     restored(0)),
    ("interrupt_key_without_signals_is_no_interrupt", "stty -isig; {game}", 100, *PLAY,
     keys("talk", "C-c", "Enter"), shows(BRIEFING), keys("C-d"), restored(0)),
    ("input_and_output_closed_at_a_terminal", bare("<&- >&-"), 100, pause(0.5), keys("Enter"),
     shows("<exited>"), lacks(TITLE, MENU), restored(0)),
]

WINDOWS_CONSOLE = BOTH + [
    # wine's console reads no key from tmux's Home and End (ESC [ 1 ~, ESC [ 4 ~).
    ("two_part_keys_end_two_waits", GAME, 100, *PLAY, *each_ends_two_waits(
        *(key for key in TWO_PART_KEYS if key not in ("Home", "End"))),
     *TALK, lacks("[A", "[B", "~", "OP", "^[")),
    # The Windows console reports Ctrl+C as a control event, Escape with no character.
    ("interrupt_and_escape_end_waits", GAME, 100, *PLAY, *inventory_ended_by("C-c", "Escape"),
     *TALK),
    # wine's "cls" erases the rows only, and keeps the scroll-back.
    ("bye_clears_the_screen", GAME, 100, *PLAY, *BYE, keys("Space"), shows(WORKSHOP)),
    # With the terminal's suspend key off, Ctrl+Z reaches the console as a key.
    ("suspend_key_ends_a_wait", "stty susp undef; {game}", 100, *PLAY,
     *inventory_ended_by("C-z"), *TALK),
]


def console_given(pane):
    """Whether wine gave the program a console: then the title waits for a key."""
    pane.wait_for(TITLE)
    time.sleep(2.0)
    return TITLE in pane.screen()


def main(program, case, *wrapper):
    program = os.path.abspath(program)
    rows = {name: row for name, *row in (WINDOWS_CONSOLE if wrapper else TERMINAL)}
    command, width, *steps = rows[case]
    if wrapper:
        tmux_pane.PATIENCE = 60.0  # wine starts slowly, and "cls" starts a process
    if not tmux_usable():
        print("SKIP: tmux cannot run here")
        return SKIP
    pane = Pane(command.format(game=game(*wrapper, program), program=shlex.quote(program)), width)
    pane.program = program
    try:
        if wrapper and not console_given(pane):
            print(f"SKIP: {wrapper[0]} gave the program no console in the terminal")
            return SKIP
        def run_steps():
            for step in steps:
                step(pane)
        return verdict(case, run_steps)
    finally:
        pane.close()


if __name__ == "__main__":
    drive(main, list=[name for name, *_ in TERMINAL], list_windows=[name for name, *_ in WINDOWS_CONSOLE])
