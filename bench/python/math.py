# Twin of scripts/math.txt.
import math

s = 0
for i in range(1, 20001):
    s = s + math.floor(i / 3) + math.sin(i)
