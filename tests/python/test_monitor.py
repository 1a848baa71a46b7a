"""Frames of the simulated board's video output."""

import numpy as np
import pytest


def test_a_frame_is_rgb_of_the_whole_picture(board):
    frame = board.monitor(0)
    assert frame.shape == (512, 712, 3) and frame.dtype == np.uint8
    assert len(np.unique(frame.reshape(-1, 3), axis=0)) > 4  # colour bars


def test_the_overlay_shows_over_the_video(board):
    before = board.monitor(1)
    board.erase(1, 15)
    after = board.monitor(1)
    assert not np.array_equal(before, after)
    assert len(np.unique(after[200:300, 200:500].reshape(-1, 3), axis=0)) == 1
    assert np.array_equal(board.monitor(0), before)  # channel 0 kept its picture


def test_blank_takes_the_overlay_away(board):
    plain = board.monitor(2)
    board.erase(2, 15)
    board.write("ch2.STATUS.BLANK", 1)
    assert np.array_equal(board.monitor(2), plain)


def test_a_source_stays_until_changed(board):
    black = board.monitor(3, "black")
    assert not black.any()
    assert not board.monitor(3).any()
    ramp = board.monitor(3, source="ramp")
    assert ramp[:, 700].mean() > ramp[:, 10].mean()


def test_a_picture_file_as_the_source(board, tmp_path):
    source = tmp_path / "source.png"
    pytest.importorskip("PIL")
    from PIL import Image

    Image.new("RGB", (64, 32), (255, 0, 0)).save(source)
    frame = board.monitor(4, str(source))
    assert (frame[256, 356] == [255, 0, 0]).all()


def test_bad_sources_and_channels(board, tmp_path):
    with pytest.raises(ValueError):
        board.monitor(0, str(tmp_path / "missing.png"))
    with pytest.raises(ValueError, match="0..7"):
        board.monitor(8)
