# Twin of scripts/strings.txt.
s = ''
for i in range(1, 100001):
    s = s + 'x'
    if len(s) > 50:
        s = ''
