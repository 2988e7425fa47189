procedure f(S: Variant); begin with S do Text := Text + 1; S[1, 2] := 3 end;
begin Memo1.Text := FormatDateTime('yyyy-mm-dd hh:nn ampm', Now) end.