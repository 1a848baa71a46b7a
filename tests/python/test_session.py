"""Opening and closing boards: targets, one board per process, errors, sim:FILE boards shared
in turn with the osdex command, and the pytest plugin's fixture."""

import os
import subprocess
import sys
import textwrap

import pytest

import osdex

OSDEX = os.environ.get("OSDEX_EXECUTABLE", "osdex")


def run_osdex(board_file, *arguments):
    return subprocess.run(
        [OSDEX, "--port", f"sim:{board_file}", *arguments],
        capture_output=True,
        text=True,
        timeout=60,
    )


def test_each_sim_open_is_a_fresh_board():
    with osdex.open("sim") as board:
        board.write(23, 1)
        board.erase(0, 3)
    with osdex.open() as board:
        assert board.read(23) == 128
        assert not board.memory(0).any()


def test_one_board_per_process():
    with osdex.open("sim") as first:
        with pytest.raises(osdex.Error, match="open already.*sim"):
            osdex.open("sim")
        assert first.read(23) == 128
    with osdex.open("sim"):
        pass


def test_a_closed_board_refuses_work():
    board = osdex.open("sim")
    board.close()
    board.close()
    assert board.closed
    with pytest.raises(osdex.Error, match="closed"):
        board.write(23, 1)
    with pytest.raises(osdex.Error, match="closed"):
        board.read("ch1.HOFFSET")
    with pytest.raises(osdex.Error, match="closed"):
        board.memory(0)


def test_a_dropped_board_lets_the_next_open():
    osdex.open("sim")  # never closed by hand
    with osdex.open("sim") as board:
        assert board.read(23) == 128


@pytest.mark.parametrize(
    "target, wait, message",
    [
        ("bogus", 0, "not a port target"),
        ("sim", -1, "bad wait"),
        ("sim", "soon", "bad wait"),
        ("sim", 1e9, "bad wait"),
    ],
)
def test_bad_arguments_are_value_errors(target, wait, message):
    with pytest.raises(ValueError, match=message):
        osdex.open(target, wait=wait)
    with osdex.open("sim"):  # nothing stays open
        pass


def test_a_damaged_board_file_is_a_value_error_and_kept(tmp_path):
    damaged = tmp_path / "damaged.osdex"
    damaged.write_bytes(b"garbage")
    with pytest.raises(ValueError, match="damaged.osdex"):
        osdex.open(f"sim:{damaged}")
    assert damaged.read_bytes() == b"garbage"
    with osdex.open("sim"):  # nothing stays open
        pass


def test_no_board_is_an_error():
    with pytest.raises(osdex.Error, match="no board answers"):
        osdex.open("unplugged")
    with pytest.raises(osdex.Error):
        osdex.open("none")


def test_an_exception_in_the_block_still_saves_the_board(tmp_path):
    board_file = tmp_path / "bench.osdex"
    with pytest.raises(RuntimeError):
        with osdex.open(f"sim:{board_file}") as board:
            board.write("ch1.HOFFSET", 61)
            raise RuntimeError("the script failed")
    assert board.closed
    assert run_osdex(board_file, "read", "ch1.HOFFSET").stdout == "61\n"


def test_a_board_file_shared_in_turn_with_osdex(tmp_path):
    board_file = tmp_path / "bench.osdex"
    with osdex.open(f"sim:{board_file}") as board:
        board.write(23, 136)
        board.erase(2, 6)
    done = run_osdex(board_file, "read", "23")
    assert (done.returncode, done.stdout) == (0, "136\n")
    assert run_osdex(board_file, "write", "ch0.STATUS.BLANK", "1").returncode == 0
    with osdex.open(f"sim:{board_file}") as board:
        assert board.read("ch0.STATUS.BLANK") == 1
        assert (board.memory(2) == 6).all()


def test_a_board_in_use_is_named(tmp_path):
    board_file = tmp_path / "held.osdex"
    with osdex.open(f"sim:{board_file}"):
        refused = run_osdex(board_file, "read", "23")
        assert refused.returncode == 1
        assert str(board_file) in refused.stderr and "in use" in refused.stderr
    holder = subprocess.Popen(
        [sys.executable, "-c", f"import osdex, sys; b = osdex.open('sim:{board_file}'); "
         "print('open', flush=True); sys.stdin.read()"],
        stdin=subprocess.PIPE,
        stdout=subprocess.PIPE,
        text=True,
    )
    try:
        assert holder.stdout.readline() == "open\n"
        with pytest.raises(osdex.Error, match="in use") as refused:
            osdex.open(f"sim:{board_file}")
        assert str(board_file) in str(refused.value)
        # The message names the holder: the program, its process and its user.
        assert f"pid {holder.pid}" in str(refused.value)
    finally:
        holder.communicate("", timeout=60)
    with osdex.open(f"sim:{board_file}"):
        pass


PLUGIN_TESTS = textwrap.dedent(
    """
    import pytest

    def test_fresh_1(board):
        assert board.read(23) == 128
        board.write(23, 1)

    def test_fresh_2(board):
        assert board.read(23) == 128
        board.write(23, 2)

    @pytest.mark.osdex_hardware
    def test_on_the_named_board(board, osdex_port):
        assert board.target == osdex_port
    """
)


def test_the_fixture_gives_a_fresh_board_and_skips_hardware_tests(pytester):
    pytester.makepyfile(PLUGIN_TESTS)
    result = pytester.runpytest_subprocess("-p", "osdex.pytest_plugin")
    result.assert_outcomes(passed=2, skipped=1)


def test_the_fixture_opens_the_named_board(pytester, tmp_path):
    pytester.makepyfile(PLUGIN_TESTS.replace("== 128", "in (128, 1, 2)"))
    target = f"sim:{tmp_path / 'named.osdex'}"
    result = pytester.runpytest_subprocess("-p", "osdex.pytest_plugin", "--osdex-port", target)
    result.assert_outcomes(passed=3)
    assert run_osdex(tmp_path / "named.osdex", "read", "23").stdout in ("1\n", "2\n")
