"""Whole-board state files and batch file replay."""

import numpy as np
import pytest

import osdex


def test_state_round_trip(board, tmp_path):
    path = tmp_path / "monday.osdex"
    board.write("ch1.HOFFSET", 90)
    board.erase(5, 7)
    board.save_state(path)
    board.write("ch1.HOFFSET", 128)
    board.erase("all")
    board.restore_state(str(path))
    assert board.read("ch1.HOFFSET") == 90
    assert (board.memory(5) == 7).all()
    assert not board.memory(4).any()


def test_a_bad_state_file_sends_nothing(board, tmp_path):
    bad = tmp_path / "bad.osdex"
    bad.write_bytes(b"not a board")
    board.write("ch1.HOFFSET", 90)
    with pytest.raises(ValueError, match="nothing was sent"):
        board.restore_state(bad)
    with pytest.raises(ValueError, match="cannot read"):
        board.restore_state(tmp_path / "missing.osdex")
    assert board.read("ch1.HOFFSET") == 90


def test_an_unwritable_state_path_is_refused(board, tmp_path):
    with pytest.raises(ValueError, match="cannot write"):
        board.save_state(tmp_path / "no folder" / "x.osdex")


def test_replay_returns_the_reads(board, tmp_path):
    batch = tmp_path / "regtest.bat"
    batch.write_text("wrreg 23 136\n# a comment\nrdreg 23\nRDREG 133\nwrreg 0x27 5\nrdreg 39\n")
    assert board.replay(batch) == [(23, 136), (133, 0), (39, 5)]


def test_a_bad_batch_file_sends_nothing(board, tmp_path):
    batch = tmp_path / "regtest.bat"
    batch.write_text("wrreg 23 1\nwrreg 23 300\n")
    with pytest.raises(ValueError, match="regtest.bat:2: .*nothing was sent"):
        board.replay(batch)
    assert board.read(23) == 128


def test_a_torn_end(board, tmp_path):
    batch = tmp_path / "regtest.bat"
    batch.write_text("wrreg 23 1\nrdreg 23\nwrreg 2")
    with pytest.raises(ValueError, match="torn"):
        board.replay(batch)
    with pytest.warns(UserWarning, match="left out"):
        assert board.replay(batch, ignore_torn_end=True) == [(23, 1)]


def test_verify_passes_on_a_good_board(board, tmp_path):
    batch = tmp_path / "regtest.bat"
    batch.write_text("wrreg 23 1\nrdreg 23\n")
    assert board.replay(batch, verify=True) == [(23, 1)]


def test_verify_reports_a_write_that_does_not_read_back(board, tmp_path):
    batch = tmp_path / "regtest.bat"
    batch.write_text("wrreg 23 1\nwrreg 133 5\nrdreg 23\n")  # LOSALL is read-only
    with pytest.raises(osdex.Error, match="(?s)1 write.*regtest.bat:2: wrote 5 to register 133"):
        board.replay(batch, verify=True)
    # verification was for that replay only: a plain write is written once again
    batch.write_text("wrreg 133 5\nrdreg 23\n")
    assert board.replay(batch) == [(23, 1)]


def test_arrays_survive_a_state_file(board, tmp_path):
    levels = (np.arange(512 * 712).reshape(512, 712) % 16).astype(np.uint8)
    board.load_memory(6, levels)
    board.save_state(tmp_path / "s.osdex")
    board.erase("all")
    board.restore_state(tmp_path / "s.osdex")
    assert np.array_equal(board.memory(6), levels)
