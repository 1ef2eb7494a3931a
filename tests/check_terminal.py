"""What a person at a terminal sees and presses: the game in a tmux pane.

usage: check_terminal.py PROGRAM CASE [WRAPPER...]

With a wrapper (wine), PROGRAM is the Windows build, run in the console
that wine gives a program started from a terminal; its own cases apply."""

import os
import shlex
import signal
import sys
import time

from harness import SKIP, describe_difference, run_game
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


FOREGROUND = os.path.join(os.path.dirname(os.path.abspath(__file__)), "foreground.py")


def game(*command):
    """The game as the foreground job, its pid in the file pid, its exit
    status in status, the terminal's settings before and after it."""
    run = shlex.join([sys.executable, FOREGROUND, "pid", *command])
    return f"stty -a > before; {run}; echo $? > status; stty -a > after"


def to_play(pane):
    pane.wait_for(TITLE)
    pane.keys("Enter")
    pane.wait_for(MENU)
    pane.line("p")
    pane.wait_for(WORKSHOP)


def assert_terminal_restored(pane, expected_status=None):
    pane.wait_for("<exited>")
    if pane.file("before") != pane.file("after"):
        raise AssertionError(f"terminal settings changed:\n{pane.file('before')}\n"
                             f"--- after:\n{pane.file('after')}")
    status = int(pane.file("status"))
    if expected_status is not None and status != expected_status:
        raise AssertionError(f"exit status {status}, expected {expected_status}")


def assert_quit(pane):
    """The game quit from the menu: its text alone on screen, all restored."""
    screen = pane.wait_for("<exited>")
    assert screen.startswith("Quit game.  Close window."), screen
    assert_terminal_restored(pane, expected_status=0)


def title_waits_without_echo(pane):
    pane.wait_for(TITLE)
    pane.stays(TITLE, seconds=1.0)
    pane.keys("x")
    screen = pane.wait_for(MENU)
    assert TITLE not in screen and "x" not in screen.replace("(i) introduction", ""), screen
    assert screen.startswith("Main Menu:"), "the menu starts at the top-left corner:\n" + screen


def keys_end_a_wait(pane):
    pane.wait_for(TITLE)
    pages = [("i", INTRODUCTION), ("r", RULES)]
    for number, key in enumerate(["Enter", "Space", "a", "C-c", "Escape", "C-z", "C-\\",
                                  "C-s", "C-q", "é"]):
        choice, shown = pages[number % 2]
        pane.keys(key)
        pane.wait_for(MENU)
        pane.line(choice)
        pane.wait_for(shown)
    pane.keys("Enter")
    pane.wait_for(MENU)
    pane.line("q")
    assert_terminal_restored(pane, expected_status=0)


TWO_PART_KEYS = ["Up", "Down", "Left", "Right", "Home", "End", "IC", "DC", "PPage", "NPage",
                 "F1", "F5", "F12"]


def escape_sequences_end_two_waits(pane, keys=TWO_PART_KEYS):
    to_play(pane)
    for key in keys:
        pane.line("inv")
        pane.wait_for(CARRYING)
        pane.keys(key)
        pane.wait_for(WORKSHOP)
        # the second half of the key is still pending: the next wait ends at once
        pane.line("inv")
        screen = pane.wait_for(WORKSHOP)
        assert CARRYING not in screen, f"{key}: the next wait did not end at once\n{screen}"
    pane.line("talk")
    screen = pane.wait_for(BRIEFING)
    for stray in ("[A", "[B", "~", "OP", "^["):
        assert stray not in screen, f"stray {stray!r} on screen:\n{screen}"


def bye_clears_the_screen(pane, scroll_back_erased=True):
    to_play(pane)
    for _ in range(12):  # more than a screen, so that there is scroll-back to erase
        pane.line("xyzzy")
    pane.wait_for(lambda screen: pane.history_size() > 0)  # something scrolled off the screen
    pane.line("bye")
    screen = pane.wait_for(QUIT_LINE)
    lines = screen.splitlines()
    assert lines[0] == QUIT_LINE and not any(lines[1:]), "more than the quit line:\n" + screen
    if scroll_back_erased:
        assert pane.history_size() == 0, f"scroll-back holds {pane.history_size()} lines"
    pane.keys("Space")
    pane.wait_for(WORKSHOP)


def a_character_beyond_u_ffff_is_one_key(pane):
    # The Windows console gives it as two key events, one UTF-16 unit each.
    pane.wait_for(TITLE)
    pane.keys("\U0001F600")
    pane.wait_for(MENU)
    pane.line("p")
    pane.wait_for(WORKSHOP)
    pane.line("inv")
    pane.wait_for(CARRYING)
    pane.keys("\U0001F600")
    pane.wait_for(CARRYING, gone=True)
    pane.line("talk")
    screen = pane.wait_for(BRIEFING)
    for stray in ("not recognized", "I don't think so.", "\ufffd"):
        assert stray not in screen, f"{stray!r} on screen:\n{screen}"


def suspend_key_ends_a_wait(pane):
    # With the terminal's suspend key off, Ctrl+Z reaches the console as a key.
    to_play(pane)
    pane.line("inv")
    pane.wait_for(CARRYING)
    pane.keys("C-z")
    pane.wait_for(CARRYING, gone=True)
    pane.line("talk")
    pane.wait_for(BRIEFING)


def backspace_edits_a_command(pane):
    to_play(pane)
    pane.keys("tak", "BSpace", "l", "Enter")
    pane.wait_for(BRIEFING)


def keys_typed_fast_after_a_wait_reach_the_menu(pane):
    pane.wait_for(TITLE)
    pane.burst("x", "p", "Enter")
    pane.wait_for(WORKSHOP)
    pane.line("tal")
    pane.wait_for(BRIEFING)


def lines_pasted_at_a_wait_are_all_played(pane):
    pane.wait_for(TITLE)
    pane.paste("x\np\ntalk\nn\n")
    screen = pane.wait_for(REFUSE_PILE)
    assert screen.index(BRIEFING) < screen.index(REFUSE_PILE), screen


def a_byte_that_is_no_character_ends_a_wait_alone(pane):
    pane.wait_for(TITLE)
    pane.bytes(b"\xe9q\r")
    assert_quit(pane)


def up_recalls_the_last_command(pane):
    to_play(pane)
    pane.line("bye")
    pane.wait_for(QUIT_LINE)
    pane.keys("Space")
    pane.wait_for(WORKSHOP)
    pane.keys("Up", "Enter")
    pane.wait_for(WORKSHOP, gone=True)
    assert pane.screen().startswith(QUIT_LINE), pane.screen()


def left_edits_the_middle_of_a_command(pane):
    to_play(pane)
    pane.keys("tl", "Left", "a", "Enter")
    pane.wait_for(BRIEFING)


def backspace_keeps_the_menu_prompt(pane):
    pane.wait_for(TITLE)
    pane.keys("Enter")
    pane.wait_for(MENU)
    pane.keys("ab", "BSpace", "BSpace", "BSpace", "BSpace", "C-l")
    screen = pane.stays(MENU)
    assert screen.splitlines()[0].rstrip() == "Enter Selection:", screen
    pane.line("q")
    assert_terminal_restored(pane, expected_status=0)


def keys_at_a_prompt_leave_no_trace(pane):
    to_play(pane)
    pane.keys("ta", "Up", "Down", "Right", "Home", "End", "IC", "PPage", "NPage", "F1", "F5",
              "F12", "C-Left", "C-Right", "M-Up", "Escape", "l", "Enter")
    screen = pane.wait_for(BRIEFING)
    for stray in ("^[", "[A", "~", "OP", "5D"):
        assert stray not in screen, f"stray {stray!r} on screen:\n{screen}"


def interrupt_at_a_prompt_restores_terminal(pane):
    to_play(pane)
    pane.keys("ta", "C-c")
    assert_terminal_restored(pane, expected_status=128 + signal.SIGINT)


def quit_restores_terminal(pane):
    pane.wait_for(TITLE)
    pane.keys("Enter")
    pane.wait_for(MENU)
    pane.line("q")
    assert_quit(pane)


def end_of_input_restores_terminal(pane):
    to_play(pane)
    pane.keys("C-d")
    assert_terminal_restored(pane, expected_status=0)


def signal_during_wait(signal_number):
    def check(pane):
        pane.wait_for(TITLE)
        os.kill(int(pane.file("pid")), signal_number)
        assert_terminal_restored(pane, expected_status=128 + signal_number)
    check.__name__ = f"{signal.Signals(signal_number).name.lower()}_during_wait_restores_terminal"
    return check


def stop_and_continue_during_wait(pane):
    pane.wait_for(TITLE)
    pid = int(pane.file("pid"))
    os.kill(pid, signal.SIGTSTP)
    time.sleep(0.3)
    stopped = pane.terminal_settings()
    assert stopped == pane.file("before"), "terminal left raw while stopped:\n" + stopped
    os.kill(pid, signal.SIGCONT)
    pane.stays(TITLE, seconds=0.3)
    pane.keys("x")
    pane.wait_for(MENU)
    pane.line("q")
    assert_terminal_restored(pane, expected_status=0)


def waits_read_the_terminal_with_input_from_a_file(program):
    def check(pane):
        pane.wait_for(TITLE)
        pane.stays(TITLE, seconds=1.0)
        pane.keys("Enter")
        pane.wait_for(INTRODUCTION)
        pane.stays(INTRODUCTION, seconds=0.5)
        pane.keys("Enter")
        screen = pane.wait_for("<exited>")
        assert "Quit game.  Close window." in screen, screen
    check.__name__ = "key_waits_with_input_from_a_file"
    command = (f"printf 'i\\nq\\n' > typed; {shlex.quote(program)} < typed; "
               f"echo $? > status")
    return check, command


def closed_standard_stream(program, redirection, check):
    """The game started by the shell with one standard descriptor closed."""
    command = (f"stty -a > before; {shlex.quote(program)} {redirection}; echo $? > status; "
               f"stty -a > after")
    return check, command


def input_closed_at_a_terminal(pane):
    # Closed standard input reads as at its end, not as the terminal.
    pane.wait_for(TITLE)
    pane.keys("Enter")
    screen = pane.wait_for("<exited>")
    assert screen.startswith("Main Menu:") and "Enter Selection:  <exited>" in screen, screen
    assert_terminal_restored(pane, expected_status=0)


def output_closed_at_a_terminal(pane):
    # Closed standard output discards the game's texts; the keys still work.
    time.sleep(0.5)
    pane.keys("Enter")
    pane.line("q")
    screen = pane.wait_for("<exited>")
    assert TITLE not in screen and MENU not in screen and "Quit" not in screen, screen
    assert_terminal_restored(pane, expected_status=0)


def output_to_a_file_is_what_a_pipe_gives(program):
    # The editor draws on the terminal; the file gets the game's bytes only.
    def check(pane):
        time.sleep(0.5)
        pane.keys("Enter")
        pane.line("p")
        pane.keys("tl", "Left", "a", "Enter", "Up", "Enter", "C-d")
        pane.wait_for("<exited>")
        piped = run_game(program, b"p\ntal\ntal\n").stdout
        if pane.file("log").encode() != piped:
            raise AssertionError(describe_difference(piped, pane.file("log").encode()))
    check.__name__ = "output_to_a_file_is_what_a_pipe_gives"
    return check, f"{shlex.quote(program)} > log"


# An interactive shell with job control, at which a test types the game's command.
SHELL = "PS1='$ ' bash --norc --noprofile -i"


def suspended_and_resumed(pane, typed, last_line, resized=None):
    """Ctrl+Z after typed keys (or within a burst of them), then fg, the pane
    perhaps resized meanwhile: the screen once its last line is shown is awaited."""
    pane.burst(*typed) if isinstance(typed, tuple) else pane.keys(typed, "C-z")
    pane.wait_for("Stopped")
    pane.keys("C-u")  # the keys of a burst that came after Ctrl+Z are the shell's
    pane.line("clear")  # the shell's own: the game's earlier text is gone
    pane.wait_for("Stopped", gone=True)
    if resized:
        pane.resize(resized)
    pane.line("fg")
    return pane.wait_for(lambda screen: screen.rstrip("\n").endswith("\n" + last_line))


def suspend_and_resume_under_a_wrapper(program):
    # The shell waits for the wrapper, not for the game, and sees only the
    # wrapper stop; the game must come back whenever the wrapper does.
    def check(pane):
        wrapper = f"sh -c '{program}; echo wrapper-done'"
        pane.line(wrapper)
        to_play(pane)
        for attempt in range(4):
            suspended_and_resumed(pane, "ta", last_line="ta")
            pane.keys("Left", "Right", "lk", "Enter")
            pane.wait_for(BRIEFING)
        pane.line("inv")
        pane.wait_for(CARRYING)
        # Ctrl+Z typed ahead of the prompt; fg's echo of the command is the last line
        suspended_and_resumed(pane, ("x", "C-z"), last_line=wrapper)
        pane.line("talk")
        pane.wait_for(BRIEFING)
        pane.keys("C-d")
        pane.wait_for("wrapper-done")
    check.__name__ = "suspend_and_resume_under_a_wrapper"
    return check, SHELL


def line_typed_before_a_suspend_is_drawn_again(program):
    # Widened while the game is stopped, the pane shows the line at its new width.
    def check(pane):
        pane.line(program)
        pane.wait_for(TITLE)
        pane.keys("Enter")
        pane.wait_for(MENU)
        typed = "x" * 60
        suspended_and_resumed(pane, typed, resized=100, last_line="Enter Selection:  " + typed)
        pane.keys("C-u", "q", "Enter")
        pane.wait_for("Quit game.  Close window.")
    check.__name__ = "line_typed_before_a_suspend_is_drawn_again"
    return check, SHELL, 50


def bursts_around_a_suspend(program):
    # Keys ahead of Ctrl+Z in its burst belong to the line, those after it to
    # the shell; after fg the game edits in its own mode.
    def check(pane):
        pane.line(program)
        to_play(pane)
        pane.keys("ta")
        suspended_and_resumed(pane, ("l", "k", "C-z"), last_line="talk")
        pane.keys("Enter")
        pane.wait_for(BRIEFING)
        pane.keys("tl")
        suspended_and_resumed(pane, ("C-z", "l", "s"), last_line="tl")
        pane.keys("Left", "a", "Enter")
        screen = pane.wait_for(BRIEFING)  # the shell's clear took the first one away
        assert "^[" not in screen, screen
    check.__name__ = "bursts_around_a_suspend"
    return check, SHELL


def stopped_on_a_row_of_its_own_under_dash(program):
    def check(pane):
        pane.line(program)
        to_play(pane)
        pane.keys("tal", "C-z")
        screen = pane.wait_for("Stopped")
        assert any(line.startswith("[1]") for line in screen.splitlines()), screen
        pane.line("fg")
        pane.keys("k", "Enter")
        pane.wait_for(BRIEFING)
    check.__name__ = "stopped_on_a_row_of_its_own_under_dash"
    return check, "PS1='$ ' dash -i"


def runs_of_resizes_leave_no_stale_copy(pane):
    to_play(pane)
    typed = "x" * 53
    pane.keys(typed)
    # Each resize seen on its own, then runs faster than the game redraws.
    for widths, pause in (([40, 80], 0.5), ([40, 20, 12, 20, 40, 80], 0.5), ([40, 80], 0.05),
                          ([40, 20, 12, 20, 40, 80], 0.05), ([40, 20, 12, 20, 40, 80], 0)):
        for width in widths:
            pane.resize(width)
            time.sleep(pause)
        screen = pane.stays(typed, seconds=1.0)
        rows = screen.rstrip("\n").splitlines()
        assert rows[-3:] == [WORKSHOP, "You see the host of Tinkerspindle.", typed], \
            f"after resizes to {widths}:\n{screen}\n{pane.written()[-600:]!r}"
    pane.keys("C-u", "talk", "Enter")
    pane.wait_for(BRIEFING)


def plain_text_terminal(echoed=True):
    """TERM that the terminal database cannot address: the terminal's own
    line discipline, no escape sequence, no library's message, a form feed
    for a clear, and a typed line shown by the terminal's echo alone."""
    def check(pane):
        to_play(pane)
        pane.line("talk")
        screen = pane.wait_for(BRIEFING)
        assert screen.count("talk") == (1 if echoed else 0), screen
        pane.line("bye")
        pane.wait_for(QUIT_LINE)
        pane.keys("Space")
        pane.wait_for(lambda screen: WORKSHOP in screen.split(QUIT_LINE)[-1])
        pane.keys("C-d")
        assert_terminal_restored(pane, expected_status=0)
        written = pane.written()
        for unwanted in (b"\x1b", b"\0", b"terminal type"):
            assert unwanted not in written, f"{unwanted!r} written:\n{written!r}"
        assert b"\f" + QUIT_LINE.encode() in written, written
    return check


def clear_from_the_database(clear):
    """An addressable terminal: the database's clear and erase of the
    scroll-back, with no padding byte, and line editing with no padding."""
    def check(pane):
        to_play(pane)
        pane.keys("tal", "C-u", "talk", "Home", "End", "BSpace", "Enter")
        pane.wait_for(BRIEFING)
        pane.line("bye")
        pane.wait_for(QUIT_LINE)
        written = pane.written()
        assert clear + QUIT_LINE.encode() in written, written[-200:]
        assert b"\0" not in written, f"a padding byte written:\n{written!r}"
    return check


def a_resize_takes_effect_mid_line(pane):
    to_play(pane)
    pane.keys("lk")
    pane.resize(50)
    pane.keys("x" * 68, "Home", "ta")
    screen = pane.wait_for("talk" + "x" * 46)
    assert "xta" not in screen and "xxxxxxx\nta" not in screen, screen
    pane.keys("Enter")
    pane.wait_for(BRIEFING)


def empty_lines_at_the_menu_leave_one_prompt(pane):
    pane.wait_for(TITLE)
    pane.keys("Enter")
    pane.wait_for(MENU)
    pane.keys("Enter", "Enter", "Enter")
    screen = pane.stays(MENU)
    assert screen.count(MENU) == 1, screen
    assert screen.rstrip().endswith(MENU), "the cursor is not on a fresh line:\n" + screen
    pane.line("q")
    assert_quit(pane)


def a_narrow_pane_shows_the_prompt_once(pane):
    pane.wait_for("bramblewood")
    pane.keys("Enter")
    screen = pane.wait_for("ion:")
    screen = pane.stays("ion:")
    assert screen.count("Enter Select") == 1, screen
    pane.line("q")
    pane.wait_for("<exited>")


def interrupt_typed_after_the_key_that_ends_a_wait(pane):
    to_play(pane)
    pane.line("inv")
    pane.wait_for(CARRYING)
    pane.burst("x", "C-c")
    assert_terminal_restored(pane, expected_status=128 + signal.SIGINT)


def end_of_input_shows_nothing(pane):
    to_play(pane)
    pane.keys("ta", "BSpace", "BSpace", "C-d")
    screen = pane.wait_for("<exited>")
    assert "^D" not in screen, screen
    assert_terminal_restored(pane, expected_status=0)


def interrupt_and_escape_end_waits(pane):
    # The Windows console reports Ctrl+C as a control event, Escape with no character.
    to_play(pane)
    for key in ("C-c", "Escape"):
        pane.line("inv")
        pane.wait_for(CARRYING)
        pane.keys(key)
        pane.wait_for(CARRYING, gone=True)
    pane.line("talk")
    pane.wait_for(BRIEFING)


def two_part_keys_end_two_waits(pane):
    # wine's console reads no key from tmux's Home and End (ESC [ 1 ~, ESC [ 4 ~).
    escape_sequences_end_two_waits(pane, [key for key in TWO_PART_KEYS
                                          if key not in ("Home", "End")])


def windows_console_cases(command):
    checks = [title_waits_without_echo, two_part_keys_end_two_waits,
              interrupt_and_escape_end_waits, quit_restores_terminal, backspace_edits_a_command,
              a_character_beyond_u_ffff_is_one_key]
    found = {check.__name__: (check, game(*command)) for check in checks}
    # wine's "cls" erases the rows only, and keeps the scroll-back.
    found["bye_clears_the_screen"] = (
        lambda pane: bye_clears_the_screen(pane, scroll_back_erased=False), game(*command))
    found["suspend_key_ends_a_wait"] = (suspend_key_ends_a_wait,
                                        "stty susp undef; " + game(*command))
    return found


def console_given(pane):
    """Whether wine gave the program a console: then the title waits for a key."""
    pane.wait_for(TITLE)
    time.sleep(2.0)
    return TITLE in pane.screen()


def cases(program):
    plain = [title_waits_without_echo, keys_end_a_wait, escape_sequences_end_two_waits,
             bye_clears_the_screen, backspace_edits_a_command, quit_restores_terminal,
             end_of_input_restores_terminal, stop_and_continue_during_wait,
             keys_typed_fast_after_a_wait_reach_the_menu, lines_pasted_at_a_wait_are_all_played,
             a_byte_that_is_no_character_ends_a_wait_alone, up_recalls_the_last_command,
             left_edits_the_middle_of_a_command, backspace_keeps_the_menu_prompt,
             keys_at_a_prompt_leave_no_trace, interrupt_at_a_prompt_restores_terminal,
             a_character_beyond_u_ffff_is_one_key, a_resize_takes_effect_mid_line,
             empty_lines_at_the_menu_leave_one_prompt,
             interrupt_typed_after_the_key_that_ends_a_wait, end_of_input_shows_nothing]
    plain += [signal_during_wait(s) for s in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT,
                                              signal.SIGQUIT)]
    found = {check.__name__: (check, game(program)) for check in plain}
    for check, command, *width in [
            waits_read_the_terminal_with_input_from_a_file(program),
            closed_standard_stream(program, "<&-", input_closed_at_a_terminal),
            closed_standard_stream(program, ">&-", output_closed_at_a_terminal),
            output_to_a_file_is_what_a_pipe_gives(program),
            suspend_and_resume_under_a_wrapper(program),
            line_typed_before_a_suspend_is_drawn_again(program)]:
        found[check.__name__] = (check, command, *width)
    found["a_narrow_pane_shows_the_prompt_once"] = (a_narrow_pane_shows_the_prompt_once,
                                                    game(program), 12)
    found["runs_of_resizes_leave_no_stale_copy"] = (runs_of_resizes_leave_no_stale_copy,
                                                    game(program), 80)
    for check, command in [bursts_around_a_suspend(program),
                           stopped_on_a_row_of_its_own_under_dash(program)]:
        found[check.__name__] = (check, command)
    for name, setting, check in [
            ("term_dumb", "export TERM=dumb", plain_text_terminal()),
            ("term_unset", "unset TERM", plain_text_terminal()),
            ("term_unknown", "export TERM=tinkerspindle-unknown", plain_text_terminal()),
            ("term_dumb_without_echo", "stty -echo; export TERM=dumb",
             plain_text_terminal(echoed=False)),
            ("term_vt100", "export TERM=vt100", clear_from_the_database(b"\x1b[H\x1b[J")),
            ("term_xterm", "export TERM=xterm-256color",
             clear_from_the_database(b"\x1b[H\x1b[2J\x1b[3J"))]:
        found[name] = (check, f"{setting}; {game(program)}")
    return found


def main(program, case, *wrapper):
    program = os.path.abspath(program)
    if wrapper:
        tmux_pane.PATIENCE = 60.0  # wine starts slowly, and "cls" starts a process
        check, command, *width = windows_console_cases([*wrapper, program])[case]
    else:
        check, command, *width = cases(program)[case]
    if not tmux_usable():
        print("SKIP: tmux cannot run here")
        return SKIP
    pane = Pane(command, *width)
    try:
        if wrapper and not console_given(pane):
            print(f"SKIP: {wrapper[0]} gave the program no console in the terminal")
            return SKIP
        check(pane)
    except AssertionError as failure:
        print(f"FAIL {case}: {failure}")
        return 1
    finally:
        pane.close()
    print(f"ok {case}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 2:
        print("\n".join(cases(os.path.abspath(sys.argv[1]))))
        sys.exit(0)
    sys.exit(main(*sys.argv[1:]))
