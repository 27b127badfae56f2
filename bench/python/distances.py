# Twin of scripts/distances.txt.
import math

s = 0
for i in range(1, 100001):
    dx = i % 17 - 8
    dy = i % 13 - 6
    s = s + math.sqrt(dx ** 2 + dy ** 2)
