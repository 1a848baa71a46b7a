// The drawing windows' tool numbers.
#pragma once

// Tool numbers, as SelectTool stores them in Tool. The main window has tools 0 to 8.
enum ToolNumber : int {
    Tool_Crosshair = 0,
    Tool_Freehand = 1,
    Tool_Quad_Pixel = 2,
    Tool_Open_Rect = 3,
    Tool_Solid_Rect = 4,
    Tool_Luma_Horiz = 5,
    Tool_Luma_Vert = 6,
    Tool_Text = 7,
    Tool_Load = 8,
    Tool_Save_Rect = 9,
    Tool_Share_Mem = 10,
    Tool_Time_Stamp = 11,
    Tool_Read_OSD = 12,
};
