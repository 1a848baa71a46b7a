wrreg 134 5
rdreg 133
