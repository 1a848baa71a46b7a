from ._osdex import Board as Board
from ._osdex import BoardHold as BoardHold
from ._osdex import Error as Error
from ._osdex import open as open
from ._osdex import register_info as register_info
from ._osdex import register_names as register_names

BoardError = Error
__all__: list[str]
