"""What a monitor on a channel shows, compared with a stored picture.

monitor_box.png is the expected frame: colour bars with a white box over them. When a change
of the drawing is meant, delete it and run the test once: it writes the new picture (look at
it!) and skips; the next runs compare with it.
"""

from pathlib import Path

import numpy as np
import pytest
from PIL import Image

REFERENCE = Path(__file__).with_name("monitor_box.png")


def test_the_monitor_shows_the_box_over_colour_bars(board):
    levels = np.zeros((512, 712), np.uint8)
    levels[150:350, 250:450] = 15  # white
    board.load_memory(0, levels)
    frame = board.monitor(0, "bars")  # numpy uint8 (512, 712, 3), RGB
    if not REFERENCE.exists():
        Image.fromarray(frame).save(REFERENCE)
        pytest.skip(f"made {REFERENCE.name}; check it and keep it")
    expected = np.asarray(Image.open(REFERENCE).convert("RGB"))
    assert np.array_equal(frame, expected)


def test_blank_shows_the_video_alone(board):
    board.erase(0, 15)
    board.write("ch0.STATUS.BLANK", 1)
    frame = board.monitor(0, "black")
    assert not frame.any()
