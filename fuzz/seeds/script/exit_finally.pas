// Exit, Break and Continue still run finally blocks; Result keeps its value.
function Pick(N: Integer): String;
begin
  Result := 'start';
  try
    if N = 0 then Exit;
    Result := 'after';
  finally
    ShowMessage('cleanup ' + Result);
  end;
  Result := 'end';
end;

var
  i: Integer;
begin
  ShowMessage(Pick(0));        // expect: cleanup start
                               // expect: start
  ShowMessage(Pick(1));        // expect: cleanup after
                               // expect: end
  for i := 1 to 3 do
    try
      if i = 2 then Continue;
      if i = 3 then Break;
      ShowMessage(i);          // expect: 1
    finally
      ShowMessage('f' + IntToStr(i)); // expect: f1
    end;                              // expect: f2
                                      // expect: f3
  ShowMessage(i);                     // expect: 3
end.
