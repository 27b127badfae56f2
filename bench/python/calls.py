# Twin of scripts/calls.txt.
def add(a, b):
    return a + b


s = 0
for i in range(1, 100001):
    s = add(s, i)
