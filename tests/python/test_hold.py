"""A served board (osdex serve) held from Python: while a with block holds it, another
client waits and is told who holds it; at the block's end it is served."""

import os
import subprocess
import time

import pytest

import osdex

OSDEX = os.environ.get("OSDEX_EXECUTABLE", "osdex")


@pytest.fixture
def server(tmp_path):
    socket = tmp_path / "board.sock"
    process = subprocess.Popen(
        [OSDEX, "--port", "sim", "serve", "--listen", f"unix:{socket}"],
        stdout=subprocess.DEVNULL,
        stderr=subprocess.PIPE,
    )
    for _ in range(1000):
        if socket.exists():
            break
        time.sleep(0.01)
    yield f"unix:{socket}"
    process.terminate()
    process.wait(timeout=30)


def other_client_reads(target, wait):
    return subprocess.run(
        [OSDEX, "--port", target, "--wait", str(wait), "read", "23"],
        capture_output=True,
        text=True,
        timeout=60,
    )


def test_another_client_waits_while_a_block_holds_the_board(server):
    with osdex.open(server) as board:
        with board.hold():
            board.write(23, 140)
            with board.hold():  # nested: the outer block still holds it afterwards
                board.write(23, 141)
            waiter = other_client_reads(server, 0.2)
            assert waiter.returncode == 1
            assert "held after waiting 0.2 s, by osdex (pid " + str(os.getpid()) in waiter.stderr
        after = other_client_reads(server, 5)
        assert after.returncode == 0, after.stderr
        assert after.stdout == "141\n"


def test_a_hold_is_one_block_at_a_time_and_needs_an_open_board(server):
    board = osdex.open(server)
    hold = board.hold()
    with hold:
        with pytest.raises(osdex.Error, match="in use already"):
            hold.__enter__()
    board.close()
    with pytest.raises(osdex.Error, match="closed"):
        with board.hold():
            pass


def test_a_board_of_this_process_alone_needs_no_hold():
    with osdex.open("sim") as board:
        with board.hold():
            board.write(23, 7)
            assert board.read(23) == 7
